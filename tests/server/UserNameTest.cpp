// One name, one look: names that could pass for another are refused with the reason, names are kept
// in NFC, and a name that looks like a registered one is taken, on both engines.

#include "LiveServer.h"
#include "UserName.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

using ovtest::LiveServer;

TEST(UserName, NamesThatCouldPassForAnotherAreRefusedWithTheReason)
{
    struct Case {
        const char *name;
        const char *problem; // a piece of the refusal; empty when the name is fine
    };
    const Case cases[] = {
        {"Ann Lee", ""},
        {"Иван Петров", ""},
        {"Ann Петров", ""}, // one script per word
        {"山田 Taro", ""},
        {"Zoë", ""},
        {"DJ_Øre-2", ""},
        {"ann\xE2\x80\x8B", "invisible or formatting character (U+200B)"}, // zero-width space
        {"\xE2\x80\xAEnna", "invisible or formatting character (U+202E)"}, // right-to-left override
        {"an\xC2\xADn", "invisible or formatting character (U+00AD)"},     // soft hyphen
        {"Ann\xC2\xA0Lee", "space other than the ordinary one (U+00A0)"},
        {"Ann\xE3\x80\x80Lee", "space other than the ordinary one (U+3000)"},
        {" Ann", "must not begin or end with a space"},
        {"Ann\xE2\x80\x83", "must not begin or end with a space"},
        {"\xD0\x90nn", "mixes letters of different scripts (Cyrillic and Latin)"}, // Cyrillic capital A
        {"pay\xCE\xA1"
         "al",
         "mixes letters of different scripts (Greek and Latin)"},
        {"ann\xEE\x80\x80", "character without an agreed look (U+E000)"},
        {"alice\xE2\xA0\x80", "shows as a blank (U+2800)"}, // the empty Braille pattern
        {"bob  smith", "two spaces in a row"},
        {"bob smith", ""},
    };
    for (const Case &c : cases) {
        const auto problem = ovserver::userNameProblem(ovserver::nfc(c.name));
        if (*c.problem == '\0') {
            EXPECT_FALSE(problem) << c.name << ": " << *problem;
        } else {
            ASSERT_TRUE(problem) << c.name;
            EXPECT_NE(problem->find(c.problem), std::string::npos) << c.name << ": " << *problem;
        }
    }
    // Names that differ only by case, normalisation or look-alike characters share one key.
    const std::string amelie = ovserver::userNameKey("Am\xC3\xA9lie");
    for (const char *same : {"AM\xC3\x89LIE", "Ame\xCC\x81lie", "\xEF\xBC\xA1m\xC3\xA9lie"})
        EXPECT_EQ(ovserver::userNameKey(same), amelie) << same;
    EXPECT_NE(ovserver::userNameKey("Amelie"), amelie);
    // A capital I looks like a small l before its case is folded; a dot below a letter is not seen.
    EXPECT_EQ(ovserver::userNameCasedKey("aIice"), ovserver::userNameCasedKey("alice"));
    EXPECT_EQ(ovserver::userNameKey("a\xE1\xB8\xB7ice"), ovserver::userNameKey("alice"));
    EXPECT_EQ(ovserver::userNameKey("alic\xE1\xBA\xB9"), ovserver::userNameKey("alice"));
    EXPECT_EQ(ovserver::nfc("Ame\xCC\x81lie"), "Am\xC3\xA9lie");
}

class UserNames : public ovtest::OnEachEngine { };
OV_ON_EACH_ENGINE(UserNames);

TEST_P(UserNames, ANameIsKeptInNfcAndOneThatLooksTheSameIsTaken)
{
    LiveServer server(GetParam());
    const std::string decomposed = "Ame\xCC\x81lie", composed = "Am\xC3\xA9lie";
    const std::string pin = server.createUser(decomposed);
    ASSERT_EQ(pin.size(), 6u);
    // Signing in and uploading work with either form; the name is kept and listed composed.
    EXPECT_EQ(server.signIn(composed, pin).body, "\nOK\n");
    EXPECT_EQ(server.signIn(decomposed, pin).body, "\nOK\n");
    ASSERT_EQ(server.upload(decomposed, "Synth", "", ovtest::xmlPlist({"1 A"})).status, 200);
    EXPECT_EQ(nlohmann::json::parse(server.list("Synth"))[0]["user"], composed);

    for (const std::string &lookAlike :
         {composed, std::string("AM\xC3\x89LIE"), std::string("\xEF\xBC\xA1m\xC3\xA9lie")}) {
        const auto taken =
            server.post("/checkuserexists.php?userName=" + ovtest::escape(lookAlike) + "&emailAddr=x@example.com");
        EXPECT_EQ(taken.status, 409) << lookAlike;
        EXPECT_NE(taken.body.find("looks the same as one that is"), std::string::npos) << taken.body;
    }
    server.createUser("alice");
    for (const char *lookAlike : {"aIice", "a\xE1\xB8\xB7ice"}) // capital I; l with a dot below
        EXPECT_EQ(server.post("/checkuserexists.php?userName=" + ovtest::escape(lookAlike) + "&emailAddr=x@example.com")
                      .status,
                  409)
            << lookAlike;
    const auto refused = server.post("/checkuserexists.php?userName=" + ovtest::escape("Am\xC3\xA9lie\xE2\x80\x8B")
                                     + "&emailAddr=x@example.com");
    EXPECT_EQ(refused.status, 400);
    EXPECT_NE(refused.body.find("invisible"), std::string::npos) << refused.body;
}

TEST_P(UserNames, AStoreFromBeforeGetsTheKeysAndKeepsItsUsers)
{
    const ovtest::TestStore store(GetParam());
    store.open();
    // Users as an older server kept them: a decomposed name, and two that look alike.
    store.execute("DROP INDEX IF EXISTS users_by_name_key;");
    store.execute("DROP INDEX IF EXISTS users_by_cased_key;");
    store.execute("ALTER TABLE users DROP COLUMN name_key;");
    store.execute("ALTER TABLE users DROP COLUMN cased_key;");
    // Nor the moderation columns, which the plug-in counts' triggers read.
    if (GetParam() == ovtest::Engine::Sqlite)
        store.execute("DROP TRIGGER plugins_count_insert; DROP TRIGGER plugins_count_delete; "
                      "DROP TRIGGER plugins_count_update;");
    store.execute("ALTER TABLE mappings DROP COLUMN hidden"
                  + std::string(GetParam() == ovtest::Engine::Sqlite ? ";" : " CASCADE;"));
    store.execute("ALTER TABLE users DROP COLUMN disabled;");
    store.execute("DELETE FROM schema_version WHERE version >= 4;");
    store.execute(
        "INSERT INTO users (name, email, pin_hash, created_at) VALUES ('Ame\xCC\x81lie', 'a@example.com', 'h1', 1), "
        "('bob', 'b@example.com', 'h2', 2), ('BOB', 'c@example.com', 'h3', 3);");
    const auto storage = store.open();
    EXPECT_EQ(storage->pinHash("Am\xC3\xA9lie"), "h1");
    EXPECT_EQ(storage->pinHash("bob"), "h2");
    EXPECT_EQ(storage->pinHash("BOB"), "h3"); // both look-alikes of before still sign in
    EXPECT_EQ(storage->createUser({"Bob", "d@example.com", "h4", 4, "10.0.0.1"}, {}),
              ovserver::Registration::NameTaken);
    EXPECT_EQ(storage->createUser({"AM\xC3\x89LIE", "d@example.com", "h4", 4, "10.0.0.1"}, {}),
              ovserver::Registration::NameTaken);
    EXPECT_EQ(storage->createUser({"Iarry", "e@example.com", "h5", 5, "10.0.0.1"}, {}),
              ovserver::Registration::Created);
    EXPECT_EQ(storage->createUser({"larry", "f@example.com", "h6", 6, "10.0.0.1"}, {}),
              ovserver::Registration::NameTaken);
}
