#pragma once
// One name, one look: user names are kept in Unicode NFC, names that could pass for another are
// refused, and two names that look alike share one key, of which the store takes only the first.

#include <optional>
#include <string>
#include <string_view>

namespace ovserver {

// The name in Unicode normalisation form C; text must be valid UTF-8.
std::string nfc(std::string_view text);

// Why a name (in NFC, valid UTF-8, without control characters) cannot be registered, as a sentence
// for the user; nothing when it can: no invisible, blank-looking or formatting characters, no space
// but the ordinary one, none at either end nor two in a row, and no word that mixes scripts.
std::optional<std::string> userNameProblem(std::string_view name);

// What the name looks like: equal for names that differ only by case, by normalisation or by
// characters that look the same (the confusable skeleton of Unicode's security mechanisms).
// Marks set below a letter count as unseen.
std::string userNameKey(std::string_view name);

// The same with the skeleton taken before case is folded, so that a capital I reads as the l it
// looks like; two names that share either key look alike.
std::string userNameCasedKey(std::string_view name);

} // namespace ovserver
