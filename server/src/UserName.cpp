#include "UserName.h"

#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>
#include <unicode/uscript.h>
#include <unicode/uspoof.h>

#include <cstdio>
#include <memory>
#include <set>
#include <stdexcept>

namespace ovserver {

namespace {

icu::UnicodeString fromUtf8(std::string_view text)
{
    return icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), static_cast<std::int32_t>(text.size())));
}

std::string toUtf8(const icu::UnicodeString &text)
{
    std::string out;
    text.toUTF8String(out);
    return out;
}

void check(UErrorCode status, const char *what)
{
    if (U_FAILURE(status))
        throw std::runtime_error(std::string(what) + ": " + u_errorName(status));
}

const icu::Normalizer2 &normalizer(const icu::Normalizer2 *(*instance)(UErrorCode &))
{
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2 *found = instance(status);
    check(status, "ICU normalisation data");
    return *found;
}

// Configured once, then only read: ICU's checks on a configured checker are safe from many threads.
const USpoofChecker &spoofChecker()
{
    static const std::unique_ptr<USpoofChecker, void (*)(USpoofChecker *)> checker = [] {
        UErrorCode status = U_ZERO_ERROR;
        USpoofChecker *made = uspoof_open(&status);
        check(status, "ICU spoof checker");
        // One script per word, or the combinations a language writes together (Latin with Han and
        // kana, for example); no mark repeated where it cannot be seen; digits of one system.
        uspoof_setRestrictionLevel(made, USPOOF_HIGHLY_RESTRICTIVE);
        uspoof_setChecks(made, USPOOF_RESTRICTION_LEVEL | USPOOF_INVISIBLE | USPOOF_MIXED_NUMBERS, &status);
        check(status, "ICU spoof checker");
        return std::unique_ptr<USpoofChecker, void (*)(USpoofChecker *)>(made, uspoof_close);
    }();
    return *checker;
}

std::string codePoint(UChar32 c)
{
    char text[16];
    std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(c));
    return text;
}

// Characters that draw nothing but are neither spaces nor ignorable to Unicode: the empty Braille
// pattern and the Hangul fillers.
bool isBlankSign(UChar32 c)
{
    return c == 0x2800 || c == 0x3164 || c == 0xFFA0 || c == 0x115F || c == 0x1160;
}

bool inWord(UChar32 c)
{
    return (U_GET_GC_MASK(c) & (U_GC_L_MASK | U_GC_M_MASK | U_GC_N_MASK)) != 0;
}

// The scripts of the word's letters, by name, for the refusal.
std::string scriptNames(const icu::UnicodeString &word)
{
    std::set<std::string> names;
    for (std::int32_t i = 0; i < word.length(); i = word.moveIndex32(i, 1)) {
        UErrorCode status = U_ZERO_ERROR;
        const UScriptCode script = uscript_getScript(word.char32At(i), &status);
        if (U_SUCCESS(status) && script != USCRIPT_COMMON && script != USCRIPT_INHERITED)
            names.insert(uscript_getName(script));
    }
    std::string joined;
    for (auto name = names.begin(); name != names.end(); ++name)
        joined += (name == names.begin() ? "" : std::next(name) == names.end() ? " and " : ", ") + *name;
    return joined;
}

std::optional<std::string> wordProblem(const icu::UnicodeString &word)
{
    UErrorCode status = U_ZERO_ERROR;
    const std::int32_t found = uspoof_checkUnicodeString(&spoofChecker(), word, nullptr, &status);
    check(status, "ICU spoof check");
    const std::string quoted = "\xE2\x80\x9C" + toUtf8(word) + "\xE2\x80\x9D";
    if (found & USPOOF_RESTRICTION_LEVEL)
        return "The user name mixes letters of different scripts (" + scriptNames(word) + ") in the word " + quoted
               + ", so it could pass for another name. Please choose another one.";
    if (found & USPOOF_MIXED_NUMBERS)
        return "The user name mixes digits of different number systems in " + quoted + ". Please choose another one.";
    if (found & USPOOF_INVISIBLE)
        return "The user name repeats a mark on one letter in " + quoted
               + ", which cannot be seen. Please choose another one.";
    return std::nullopt;
}

} // namespace

std::string nfc(std::string_view text)
{
    UErrorCode status = U_ZERO_ERROR;
    const icu::UnicodeString normal = normalizer(icu::Normalizer2::getNFCInstance).normalize(fromUtf8(text), status);
    check(status, "NFC normalisation");
    return toUtf8(normal);
}

std::optional<std::string> userNameProblem(std::string_view name)
{
    const icu::UnicodeString text = fromUtf8(name);
    if (text.isEmpty())
        return std::nullopt;
    if (u_isUWhiteSpace(text.char32At(0)) || u_isUWhiteSpace(text.char32At(text.length() - 1)))
        return "The user name must not begin or end with a space. Please choose another one.";
    icu::UnicodeString word;
    const auto endOfWord = [&word]() -> std::optional<std::string> {
        if (word.isEmpty())
            return std::nullopt;
        auto problem = wordProblem(word);
        word.remove();
        return problem;
    };
    for (std::int32_t i = 0; i < text.length(); i = text.moveIndex32(i, 1)) {
        const UChar32 c = text.char32At(i);
        const std::int8_t type = u_charType(c);
        if (type == U_FORMAT_CHAR || u_hasBinaryProperty(c, UCHAR_DEFAULT_IGNORABLE_CODE_POINT))
            return "The user name contains an invisible or formatting character (" + codePoint(c)
                   + "). Please choose another one.";
        if (c != ' ' && (type == U_SPACE_SEPARATOR || type == U_LINE_SEPARATOR || type == U_PARAGRAPH_SEPARATOR))
            return "The user name contains a space other than the ordinary one (" + codePoint(c)
                   + "). Please choose another one.";
        if (isBlankSign(c))
            return "The user name contains a character that shows as a blank (" + codePoint(c)
                   + "). Please choose another one.";
        if (c == ' ' && i > 0 && text.char32At(i - 1) == ' ')
            return "The user name must not hold two spaces in a row. Please choose another one.";
        if (type == U_UNASSIGNED || type == U_PRIVATE_USE_CHAR)
            return "The user name contains a character without an agreed look (" + codePoint(c)
                   + "). Please choose another one.";
        if (inWord(c))
            word.append(c);
        else if (auto problem = endOfWord())
            return problem;
    }
    return endOfWord();
}

namespace {

// Marks set under a letter (a dot, a ring, a line below) are lost to the eye at a web page's size;
// the skeleton keeps them.
icu::UnicodeString withoutMarksBelow(const icu::UnicodeString &decomposed)
{
    icu::UnicodeString kept;
    for (std::int32_t i = 0; i < decomposed.length(); i = decomposed.moveIndex32(i, 1)) {
        const UChar32 c = decomposed.char32At(i);
        const std::uint8_t place = u_getCombiningClass(c);
        if (place != 202 && place != 220)
            kept.append(c); // attached below, below
    }
    return kept;
}

// The confusable skeleton of the name, with case folded before it or not, then folded after it.
std::string key(std::string_view name, bool foldFirst)
{
    const icu::Normalizer2 &folded = normalizer(icu::Normalizer2::getNFKCCasefoldInstance);
    const icu::Normalizer2 &compatible = normalizer(icu::Normalizer2::getNFKCInstance);
    UErrorCode status = U_ZERO_ERROR;
    const icu::UnicodeString text = (foldFirst ? folded : compatible).normalize(fromUtf8(name), status);
    icu::UnicodeString skeleton;
    uspoof_getSkeletonUnicodeString(&spoofChecker(), 0, text, skeleton, &status);
    // The skeleton's prototypes are not all lower case: fold once more so that case stays out.
    const icu::UnicodeString result = folded.normalize(withoutMarksBelow(skeleton), status);
    check(status, "user name key");
    return toUtf8(result);
}

} // namespace

std::string userNameKey(std::string_view name)
{
    return key(name, true);
}

std::string userNameCasedKey(std::string_view name)
{
    return key(name, false);
}

} // namespace ovserver
