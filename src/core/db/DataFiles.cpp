#include "DataFiles.h"

namespace kx3 {

QString dataFileName(DataFile file)
{
    switch (file) {
    case DataFile::FirstNames: return QStringLiteral("first_names.dat");
    case DataFile::SecondNames: return QStringLiteral("second_names.dat");
    case DataFile::CommonNames: return QStringLiteral("common_names.dat");
    case DataFile::Staff: return QStringLiteral("staff.dat");
    case DataFile::Nation: return QStringLiteral("nation.dat");
    case DataFile::Club: return QStringLiteral("club.Dat");
    case DataFile::NatClub: return QStringLiteral("nat_club.Dat");
    case DataFile::ClubComp: return QStringLiteral("club_comp.dat");
    case DataFile::NationCompHistory: return QStringLiteral("nation_comp_history.dat");
    case DataFile::Stadium: return QStringLiteral("stadium.dat");
    case DataFile::City: return QStringLiteral("city.dat");
    case DataFile::Index: return QStringLiteral("index.dat");
    case DataFile::StaffHistory: return QStringLiteral("staff_history.dat");
    case DataFile::Officials: return QStringLiteral("officials.dat");
    case DataFile::PlayerSetup: return QStringLiteral("player_Setup.cfg");
    }
    return {};
}

} // namespace kx3
