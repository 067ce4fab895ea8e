#pragma once

#include <array>
#include <cstddef>

namespace kx3 {

/// Job codes of a person's club job (+61) and national-team job (+40).
namespace Job {
inline constexpr int Unemployed = 0;
inline constexpr int Chairman = 1;
inline constexpr int ManagingDirector = 2;
inline constexpr int GeneralManager = 3;
inline constexpr int DirectorOfFootball = 4;
inline constexpr int Manager = 5;
inline constexpr int AssistantManager = 6;
inline constexpr int ReserveManager = 7;
inline constexpr int Coach = 8;
inline constexpr int Scout = 9;
inline constexpr int Physio = 10;
inline constexpr int Player = 11;
inline constexpr int PlayerManager = 12;
inline constexpr int PlayerAssistantManager = 13;
inline constexpr int PlayerReserveManager = 14;
inline constexpr int PlayerCoach = 15;
inline constexpr int Retired = 16;

constexpr bool isNonPlaying(int job)
{
    return job >= Chairman && job <= Physio;
}
constexpr bool isCombined(int job)
{
    return job >= PlayerManager && job <= PlayerCoach;
}
/// Player or one of the combined jobs: the person takes a squad slot.
constexpr bool isPlaying(int job)
{
    return job >= Player && job <= PlayerCoach;
}
} // namespace Job

/// Classification codes (+95).
namespace Classification {
inline constexpr int Unknown = 0;
inline constexpr int NonPlayer = 1;
inline constexpr int Player = 2;
inline constexpr int PlayerNonPlayer = 3;
inline constexpr int YouthPlayer = 4;

/// Classes that own a player attribute record and are found by the player search.
constexpr bool hasPlayerAttributes(int c)
{
    return c == Player || c == PlayerNonPlayer || c == YouthPlayer;
}
/// Classes that own a staff attribute record and are found by the staff search.
constexpr bool hasStaffAttributes(int c)
{
    return c == NonPlayer || c == PlayerNonPlayer;
}
} // namespace Classification

/// Items of the person screens' job lists (club and national-team job): item = code.
inline constexpr std::array<const char *, 17> JobNames = {
    "Unemployed",   "Chairman",    "Managing Dir", "General Man",    "Dir Of Football",
    "Manager",      "Ast Manager", "Reserve Man",  "Coach",          "Scout",
    "Physio",       "Player",      "Player/Man",   "Player/Ast Man", "Player/Res Man",
    "Player/Coach", "Retired",
};

/// Job names of a club's staff list, which has its own spelling of code 6 and
/// no name for 16; codes without a name read as UnknownStaffListJob.
inline constexpr std::array<const char *, 16> StaffListJobNames = {
    "Unemployed",      "Chairman",       "Managing Dir",   "General Man",
    "Dir Of Football", "Manager",        "Assistant Man",  "Reserve Man",
    "Coach",           "Scout",          "Physio",         "Player",
    "Player/Man",      "Player/Ast Man", "Player/Res Man", "Player/Coach",
};
inline constexpr const char *UnknownStaffListJob = "<unknown>";

/// Items of the classification lists: item = code.
inline constexpr std::array<const char *, 5> ClassificationNames = {
    "<unknown>", "Non-Player", "Player", "Player/Non-Player", "Youth Player",
};

/// Items of the plays-in list: item = code.
inline constexpr std::array<const char *, 3> PlaysInNames = {
    "<none>",
    "Senior Squad",
    "Reserve Squad",
};

/// Items of the formation list: item = formation code - 1 (codes 1-9).
inline constexpr std::array<const char *, 9> FormationNames = {
    "5-3-2 Sw", "5-3-2", "4-4-2", "4-3-3", "4-2-4", "3-5-2", "4-1-2-1-2", "4-5-1", "3-4-3",
};

/// The injury keywords of the pre-injury list after its item 0 "<none>", in list order.
extern const std::array<const char *, 94> InjuryNames;

/// Text of `code` in a code list, or `fallback` when the code has no entry.
template <std::size_t N>
constexpr const char *codeName(const std::array<const char *, N> &list, int code,
                               const char *fallback = "")
{
    return code >= 0 && std::size_t(code) < N ? list[std::size_t(code)] : fallback;
}

/// Name of a job code in a club's staff list ("<unknown>" beyond 15).
constexpr const char *staffListJobName(int job)
{
    return codeName(StaffListJobNames, job, UnknownStaffListJob);
}

} // namespace kx3
