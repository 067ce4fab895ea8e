#pragma once

#include <QString>

#include <array>

namespace kx3 {

/// The fifteen files of a game database, in load order.
enum class DataFile {
    FirstNames,
    SecondNames,
    CommonNames,
    Staff,
    Nation,
    Club,
    NatClub,
    ClubComp,
    NationCompHistory,
    Stadium,
    City,
    Index,
    StaffHistory,
    Officials,
    PlayerSetup,
};

inline constexpr int DataFileCount = 15;

inline constexpr std::array<DataFile, DataFileCount> AllDataFiles = {
    DataFile::FirstNames,   DataFile::SecondNames, DataFile::CommonNames,
    DataFile::Staff,        DataFile::Nation,      DataFile::Club,
    DataFile::NatClub,      DataFile::ClubComp,    DataFile::NationCompHistory,
    DataFile::Stadium,      DataFile::City,        DataFile::Index,
    DataFile::StaffHistory, DataFile::Officials,   DataFile::PlayerSetup,
};

/// Files rewritten by a save, in the order they are written; the table of
/// contents goes last so that its counters never describe files not yet written.
inline constexpr std::array<DataFile, 14> SavedDataFiles = {
    DataFile::Club,         DataFile::NatClub,
    DataFile::Nation,       DataFile::Staff,
    DataFile::Stadium,      DataFile::FirstNames,
    DataFile::SecondNames,  DataFile::CommonNames,
    DataFile::StaffHistory, DataFile::NationCompHistory,
    DataFile::Officials,    DataFile::City,
    DataFile::PlayerSetup,  DataFile::Index,
};

/// The file's name inside the installation's Data folder, spelt as the game does.
QString dataFileName(DataFile file);

/// Record sizes of the fixed-size tables.
namespace RecordSize {
inline constexpr int NameEntry = 60;
inline constexpr int Person = 157;
inline constexpr int StaffAttributes = 68;
inline constexpr int PlayerAttributes = 70;
inline constexpr int Nation = 290;
inline constexpr int Club = 581;
inline constexpr int Competition = 107;
inline constexpr int NationCompHistory = 26;
inline constexpr int Stadium = 78;
inline constexpr int City = 56;
inline constexpr int History = 17;
inline constexpr int Official = 43;
} // namespace RecordSize

/// Byte positions of the table of contents (index.dat) the editor reads or writes.
namespace Toc {
inline constexpr int ClubCount = 63;
inline constexpr int OfficialCount = 398;
inline constexpr int StadiumCount = 465;
inline constexpr int PersonCount = 532;
inline constexpr int PersonTableSize = 603;
inline constexpr int StaffAttributeCount = 666;
inline constexpr int StaffAttributeOffset = 670;
inline constexpr int PlayerAttributeCount = 733;
inline constexpr int PlayerAttributeOffset = 737;
inline constexpr int CityCount = 867;
inline constexpr int FirstNameCount = 1068;
inline constexpr int SecondNameCount = 1135;
inline constexpr int CommonNameCount = 1202;
inline constexpr int HistoryCount = 1269;
/// Smallest index.dat that holds every position above.
inline constexpr int MinimumSize = HistoryCount + 4;
} // namespace Toc

} // namespace kx3
