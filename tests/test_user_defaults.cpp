#include <gtest/gtest.h>
#include <plist/plist.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "LogCapture.h"
#include "OddFiles.h"
#include "ScratchDirectory.h"
#include "host/data/PlistValue.h"
#include "host/data/UserDefaults.h"

namespace fs = std::filesystem;
using host::PlistValue;
using host::UserDefaults;

namespace {

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void writeFile(const fs::path& p, const std::string& bytes) {
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// A fresh directory per test, and the log lines written meanwhile so that
// tests can check what was reported.
class TempDirFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(scratch_.path().empty());
        dir_ = scratch_.path();
        data_ = dir_ / "data";
        UserDefaults::resetForTesting();
        UserDefaults::setDataDirectory(data_.string());
    }
    void TearDown() override {
        UserDefaults::resetForTesting();
        UserDefaults::setDataDirectory("");
    }
    std::vector<std::string> logLines() const { return log_.lines(); }
    // Drops the shared instance and loads the directory again, as a new run would.
    UserDefaults& reload() {
        UserDefaults::resetForTesting();
        return UserDefaults::standardUserDefaults();
    }
    fs::path file() const { return data_ / "defaults.plist"; }

    ScratchDirectory scratch_;
    LogCapture log_;
    fs::path dir_, data_;
};

const char* kXmlHeader =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
    "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n";

void bigEndian(std::string& s, uint64_t v, int n) {
    for (int i = n - 1; i >= 0; --i) s += char((v >> (8 * i)) & 0xFF);
}

// A hand-made binary plist: object i is an array referring to each of
// `refs(i)` (an empty list makes it `true`). Four-byte offsets and refs.
template <class Refs>
std::string handMadeBinary(uint32_t count, Refs refs) {
    std::string s = "bplist00";
    std::vector<uint64_t> offsets;
    for (uint32_t i = 0; i < count; ++i) {
        offsets.push_back(s.size());
        std::vector<uint32_t> r = refs(i);
        if (r.empty()) { s += char(0x09); continue; }
        s += char(0xA0 | r.size());
        for (uint32_t x : r) bigEndian(s, x, 4);
    }
    const uint64_t table = s.size();
    for (uint64_t o : offsets) bigEndian(s, o, 4);
    s += std::string(6, '\0');
    s += char(4);
    s += char(4);
    bigEndian(s, count, 8);
    bigEndian(s, 0, 8);
    bigEndian(s, table, 8);
    return s;
}

class PlistValueParsing : public TempDirFixture {};
class UserDefaultsFiles : public TempDirFixture {};

}  // namespace

// ---- PlistValue ------------------------------------------------------------

TEST(PlistValue, ConversionsFollowThePlatform) {
    EXPECT_EQ(PlistValue(3.9).asInt(), 3);
    EXPECT_EQ(PlistValue(-3.9).asInt(), -3);
    EXPECT_EQ(PlistValue(true).asInt(), 1);
    EXPECT_EQ(PlistValue("42").asInt(), 42);
    EXPECT_EQ(PlistValue("7.8").asInt(), 7);
    EXPECT_EQ(PlistValue("abc").asInt(5), 5);
    EXPECT_EQ(PlistValue(1e30).asInt(), INT64_MAX);
    EXPECT_DOUBLE_EQ(PlistValue(int64_t(7)).asDouble(), 7.0);
    EXPECT_DOUBLE_EQ(PlistValue("2.5").asDouble(), 2.5);

    for (const char* yes : {"YES", "yes", "true", "True", "1", "  +012", "y"})
        EXPECT_TRUE(PlistValue(yes).asBool()) << yes;
    for (const char* no : {"NO", "false", "0", "", "000", "  -0", "maybe"})
        EXPECT_FALSE(PlistValue(no).asBool()) << no;
    EXPECT_TRUE(PlistValue(2).asBool());
    EXPECT_FALSE(PlistValue(0).asBool());
    EXPECT_TRUE(PlistValue(0.5).asBool());
    EXPECT_FALSE(PlistValue(0.0).asBool());

    EXPECT_EQ(PlistValue(int64_t(-12)).asString(), "-12");
    EXPECT_EQ(PlistValue(PlistValue::Array{}).asString("d"), "d");
    // Things that are not numbers give the caller's default.
    EXPECT_EQ(PlistValue(PlistValue::Data{1, 2}).asInt(9), 9);
    EXPECT_TRUE(PlistValue().asBool(true));
}

TEST(PlistValue, DictionaryAccessAndEquality) {
    PlistValue::Dictionary d;
    d["name"] = "board";
    d["list"] = PlistValue::Array{1, "two", 3.0};
    PlistValue v(d);
    EXPECT_TRUE(v.isDictionary());
    EXPECT_EQ(v.size(), 2u);
    EXPECT_EQ(v["name"].asString(), "board");
    EXPECT_TRUE(v["missing"].isNone());
    EXPECT_TRUE(v["list"][1].isString());
    EXPECT_TRUE(v["list"][99].isNone());
    EXPECT_TRUE(v["name"]["deeper"].isNone());  // not a dictionary: none, no throw
    EXPECT_EQ(&v["missing"], &PlistValue::none());

    PlistValue copy = v;
    EXPECT_EQ(copy, v);
    copy.dictionary()->at("name") = "other";
    EXPECT_NE(copy, v);
    // Different types never compare equal, even with the same numeric value.
    EXPECT_NE(PlistValue(1), PlistValue(1.0));
    EXPECT_NE(PlistValue(1), PlistValue(true));
}

TEST(PlistValue, XmlRoundTripKeepsEveryType) {
    PlistValue::Dictionary d;
    d["int"] = int64_t(-9000000000LL);
    d["real"] = 0.125;
    d["yes"] = true;
    d["no"] = false;
    d["text"] = "h\xC3\xA9llo <&>";
    d["bytes"] = PlistValue::Data{0, 1, 254, 255};
    d["when"] = PlistValue::date(123456789.0);
    d["nested"] = PlistValue::Dictionary{{"a", PlistValue::Array{PlistValue::Dictionary{}, 1}}};
    PlistValue v(d);

    std::string xml = v.toXml();
    ASSERT_NE(xml.find("<plist"), std::string::npos);
    PlistValue back = PlistValue::fromBytes(xml);
    EXPECT_EQ(back, v);
    EXPECT_DOUBLE_EQ(back["when"].dateSeconds(), 123456789.0);
    EXPECT_EQ(back["int"].asInt(), -9000000000LL);
    EXPECT_TRUE(PlistValue().toXml().empty());

    // Dates count from the platform's reference date, 2001-01-01 UTC.
    PlistValue ref = PlistValue::fromBytes(std::string(kXmlHeader) +
        "<plist version=\"1.0\"><date>2001-01-01T00:00:10Z</date></plist>");
    ASSERT_TRUE(ref.isDate());
    EXPECT_DOUBLE_EQ(ref.dateSeconds(), 10.0);
}

TEST(PlistValue, ReadsBinaryPlists) {
    plist_t root = plist_new_dict();
    plist_dict_set_item(root, "score", plist_new_uint(1234));
    plist_dict_set_item(root, "name", plist_new_string("tilt"));
    plist_dict_set_item(root, "on", plist_new_bool(1));
    char* bin = nullptr;
    uint32_t len = 0;
    plist_to_bin(root, &bin, &len);
    plist_free(root);
    ASSERT_NE(bin, nullptr);
    std::string bytes(bin, len);
    plist_to_bin_free(bin);
    ASSERT_EQ(bytes.compare(0, 6, "bplist"), 0);

    PlistValue v = PlistValue::fromBytes(bytes);
    EXPECT_EQ(v["score"].asInt(), 1234);
    EXPECT_EQ(v["name"].asString(), "tilt");
    EXPECT_TRUE(v["on"].asBool());

    // A truncated binary plist is refused, not misread.
    std::string err;
    PlistValue cut = PlistValue::parse(bytes.data(), bytes.size() / 2, &err);
    EXPECT_TRUE(cut.isNone());
    EXPECT_FALSE(err.empty());
}

TEST(PlistValue, RefusesHostileStructuresInsteadOfCrashing) {
    std::string err;
    auto refused = [&](const std::string& bytes) {
        err.clear();
        return PlistValue::parse(bytes.data(), bytes.size(), &err).isNone() && !err.empty();
    };
    // A chain a little below the limit is fine; far beyond it is refused
    // before the parser can recurse into it.
    auto chain = [](uint32_t n) {
        return handMadeBinary(n, [n](uint32_t i) { return i + 1 < n ? std::vector<uint32_t>{i + 1} : std::vector<uint32_t>{}; });
    };
    EXPECT_TRUE(PlistValue::fromBytes(chain(100)).isArray());
    EXPECT_TRUE(refused(chain(500000)));
    EXPECT_NE(err.find("nested too deeply"), std::string::npos) << err;
    // An array that contains itself.
    EXPECT_TRUE(refused(handMadeBinary(3, [](uint32_t i) { return std::vector<uint32_t>{(i + 1) % 3}; })));
    // Each level refers twice to the next: a few hundred bytes that would
    // expand into billions of copies.
    EXPECT_TRUE(refused(handMadeBinary(40, [](uint32_t i) {
        return i + 1 < 40 ? std::vector<uint32_t>{i + 1, i + 1} : std::vector<uint32_t>{};
    })));
    EXPECT_NE(err.find("too many"), std::string::npos) << err;

    // A dictionary key holding a NUL character.
    plist_t root = plist_new_dict();
    plist_dict_set_item(root, "aQ", plist_new_bool(1));
    char* bin = nullptr;
    uint32_t len = 0;
    plist_to_bin(root, &bin, &len);
    plist_free(root);
    std::string bytes(bin, len);
    plist_to_bin_free(bin);
    size_t at = bytes.find("aQ");
    ASSERT_NE(at, std::string::npos);
    bytes[at + 1] = '\0';
    EXPECT_TRUE(refused(bytes));

    // Deep XML nesting is refused too.
    std::string xml = std::string(kXmlHeader) + "<plist version=\"1.0\">";
    for (int i = 0; i < 1000000; ++i) xml += "<array>";
    for (int i = 0; i < 1000000; ++i) xml += "</array>";
    EXPECT_TRUE(refused(xml + "</plist>"));
    // Empty containers written as <array/> do not count as nesting.
    std::string flat = std::string(kXmlHeader) + "<plist version=\"1.0\"><array>";
    for (int i = 0; i < 1000; ++i) flat += "<array/><dict/>";
    EXPECT_EQ(PlistValue::fromBytes(flat + "</array></plist>").size(), 2000u);
}

TEST_F(PlistValueParsing, RefusesBadInputWithOneLogLine) {
    const std::vector<std::string> bad = {
        "", "not a plist", "<plist><dict><key>a</key>", std::string("bplist00\0\0\0", 11),
        std::string(kXmlHeader) + "<plist version=\"1.0\"><integer>12</plist>",
    };
    for (const auto& b : bad) {
        EXPECT_TRUE(PlistValue::fromBytes(b).isNone()) << b;
    }
    auto got = logLines();
    ASSERT_EQ(got.size(), bad.size());
    for (const auto& l : got) EXPECT_EQ(l.rfind("plist: ", 0), 0u) << l;

    // Oversized input is refused before parsing.
    std::string err;
    EXPECT_TRUE(PlistValue::parse("x", PlistValue::kMaxInputBytes + 1, &err).isNone());
    EXPECT_NE(err.find("64 MiB"), std::string::npos);

    // Nesting deep enough to threaten the stack is refused.
    std::string deep = std::string(kXmlHeader) + "<plist version=\"1.0\">";
    for (int i = 0; i < 2000; ++i) deep += "<array>";
    for (int i = 0; i < 2000; ++i) deep += "</array>";
    deep += "</plist>";
    EXPECT_TRUE(PlistValue::parse(deep.data(), deep.size(), &err).isNone());

    EXPECT_TRUE(PlistValue::fromFile((dir_ / "absent.plist").string()).isNone());
    EXPECT_EQ(logLines().back().rfind("plist: ", 0), 0u);
}

// ---- UserDefaults ----------------------------------------------------------

TEST_F(UserDefaultsFiles, RoundTripEveryTypeAcrossAReload) {
    {
        UserDefaults& d = UserDefaults::standardUserDefaults();
        d.setInteger(-42, "int");
        d.setInteger(int64_t(1) << 40, "big");
        d.setBool(true, "sound");
        d.setFloat(0.35f, "tilt");
        d.setObject(PlistValue("Player"), "name");
        d.setObject(PlistValue::Array{1, 2, 3}, "scores");
        d.setObject(PlistValue::Data{9, 8, 7}, "blob");
        d.setObject(PlistValue::date(5000.0), "lastPlayed");
        ASSERT_TRUE(d.synchronize());
    }
    EXPECT_TRUE(fs::exists(file()));  // directory created with its parents
    UserDefaults& d = reload();
    EXPECT_EQ(d.integerForKey("int"), -42);
    EXPECT_EQ(d.integerForKey("big"), int64_t(1) << 40);
    EXPECT_TRUE(d.boolForKey("sound"));
    EXPECT_FLOAT_EQ(d.floatForKey("tilt"), 0.35f);
    EXPECT_EQ(d.objectForKey("name").asString(), "Player");
    EXPECT_EQ(d.objectForKey("scores"), PlistValue(PlistValue::Array{1, 2, 3}));
    EXPECT_EQ(d.objectForKey("blob"), PlistValue(PlistValue::Data{9, 8, 7}));
    EXPECT_DOUBLE_EQ(d.objectForKey("lastPlayed").dateSeconds(), 5000.0);

    d.removeObjectForKey("int");
    d.setObject(PlistValue(), "name");  // none removes
    ASSERT_TRUE(d.synchronize());
    UserDefaults& again = reload();
    EXPECT_TRUE(again.objectForKey("int").isNone());
    EXPECT_TRUE(again.objectForKey("name").isNone());
    EXPECT_TRUE(again.boolForKey("sound"));
    EXPECT_TRUE(logLines().empty());
}

TEST_F(UserDefaultsFiles, MissingKeysAndFilesReadEmpty) {
    UserDefaults& d = UserDefaults::standardUserDefaults();
    EXPECT_EQ(d.integerForKey("nope"), 0);
    EXPECT_FALSE(d.boolForKey("nope"));
    EXPECT_EQ(d.floatForKey("nope"), 0.0f);
    EXPECT_TRUE(d.objectForKey("nope").isNone());
    // Nothing changed: nothing is written, not even the directory.
    EXPECT_TRUE(d.synchronize());
    EXPECT_FALSE(fs::exists(file()));
    EXPECT_TRUE(logLines().empty());
}

TEST_F(UserDefaultsFiles, WritesOnlyWhenSomethingChanged) {
    UserDefaults& d = UserDefaults::standardUserDefaults();
    d.setInteger(1, "level");
    ASSERT_TRUE(d.synchronize());
    // Replace the file behind its back: an unchanged instance must not write.
    writeFile(file(), PlistValue(PlistValue::Dictionary{{"level", 5}}).toXml());
    d.setInteger(1, "level");  // same value: no change
    ASSERT_TRUE(d.synchronize());
    EXPECT_EQ(reload().integerForKey("level"), 5);
}

TEST_F(UserDefaultsFiles, CorruptFileIsKeptAsideAndNeverOverwritten) {
    fs::create_directories(data_);
    const std::string garbage = "<?xml version=\"1.0\"?><plist><dict><key>x</key><integ";
    writeFile(file(), garbage);

    UserDefaults& d = UserDefaults::standardUserDefaults();
    EXPECT_EQ(d.integerForKey("x"), 0);
    EXPECT_TRUE(d.objectForKey("x").isNone());
    const fs::path bad = data_ / "defaults.plist.bad";
    EXPECT_TRUE(fs::exists(bad));
    EXPECT_FALSE(fs::exists(file()));
    auto got = logLines();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].rfind("defaults: " + file().string() + " is unreadable (", 0), 0u) << got[0];
    EXPECT_NE(got[0].find("); kept as defaults.plist.bad, starting empty"), std::string::npos) << got[0];

    d.setInteger(3, "x");
    ASSERT_TRUE(d.synchronize());
    EXPECT_EQ(readFile(bad), garbage);
    EXPECT_EQ(reload().integerForKey("x"), 3);
    EXPECT_EQ(logLines().size(), 1u);
}

TEST_F(UserDefaultsFiles, RejectsANonDictionaryPlist) {
    fs::create_directories(data_);
    const std::string array = PlistValue(PlistValue::Array{1, 2}).toXml();
    writeFile(file(), array);
    UserDefaults& d = UserDefaults::standardUserDefaults();
    EXPECT_TRUE(d.objectForKey("0").isNone());
    EXPECT_EQ(readFile(data_ / "defaults.plist.bad"), array);
    auto got = logLines();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_NE(got[0].find("(not a dictionary)"), std::string::npos) << got[0];
}

TEST_F(UserDefaultsFiles, IgnoresATemporaryLeftByACrash) {
    {
        UserDefaults& d = UserDefaults::standardUserDefaults();
        d.setInteger(77, "best");
        d.setBool(true, "sound");
        ASSERT_TRUE(d.synchronize());
    }
    // A write that died half-way leaves its temporary next to the good file.
    const fs::path tmp = data_ / "defaults.plist.tmp.12345";
    writeFile(tmp, "<?xml version=\"1.0\"?><plist><dict><key>best</key><integer>1");
    UserDefaults& d = reload();
    EXPECT_EQ(d.integerForKey("best"), 77);
    EXPECT_TRUE(d.boolForKey("sound"));
    EXPECT_FALSE(fs::exists(tmp));
    d.setInteger(78, "best");
    ASSERT_TRUE(d.synchronize());
    for (const auto& e : fs::directory_iterator(data_))
        EXPECT_EQ(e.path().filename().string().find(".tmp"), std::string::npos) << e.path();
    EXPECT_EQ(reload().integerForKey("best"), 78);
    EXPECT_TRUE(logLines().empty());
}

TEST_F(UserDefaultsFiles, ReadsABinaryDefaultsFile) {
    fs::create_directories(data_);
    plist_t root = plist_new_dict();
    plist_dict_set_item(root, "highScore", plist_new_uint(990));
    plist_dict_set_item(root, "volume", plist_new_real(0.5));
    char* bin = nullptr;
    uint32_t len = 0;
    plist_to_bin(root, &bin, &len);
    plist_free(root);
    writeFile(file(), std::string(bin, len));
    plist_to_bin_free(bin);

    UserDefaults& d = UserDefaults::standardUserDefaults();
    EXPECT_EQ(d.integerForKey("highScore"), 990);
    EXPECT_FLOAT_EQ(d.floatForKey("volume"), 0.5f);
    // The next write turns it into XML.
    d.setInteger(991, "highScore");
    ASSERT_TRUE(d.synchronize());
    EXPECT_EQ(readFile(file()).rfind("<?xml", 0), 0u);
    EXPECT_EQ(reload().integerForKey("highScore"), 991);
}

TEST_F(UserDefaultsFiles, ReportsAnUnwritableDirectory) {
    // The data directory's place is taken by a plain file.
    writeFile(data_, "in the way");
    UserDefaults& d = UserDefaults::standardUserDefaults();
    d.setInteger(1, "a");
    EXPECT_FALSE(d.synchronize());
    EXPECT_EQ(readFile(data_), "in the way");
    auto got = logLines();
    ASSERT_FALSE(got.empty());
    EXPECT_EQ(got.back().rfind("defaults: ", 0), 0u);
    EXPECT_EQ(d.integerForKey("a"), 1);  // the change is kept
}

TEST_F(UserDefaultsFiles, AnOddFileInPlaceOfTheDefaultsIsSetAsideAndTheDefaultsStartFresh) {
    const char* kinds[] = {"is a directory", "is a FIFO", "is a character device"};
    for (OddFile kind : kOddFiles) {
        fs::remove_all(data_);
        fs::create_directories(data_);
        ASSERT_TRUE(placeOddFile(kind, file().string())) << describe(kind);
        const size_t linesBefore = logLines().size();
        UserDefaults& d = withinASecond([this]() -> UserDefaults& { return reload(); }, file().string());
        EXPECT_EQ(d.integerForKey("high"), 0);
        ASSERT_EQ(logLines().size(), linesBefore + 1) << describe(kind);
        EXPECT_EQ(logLines().back(), "defaults: " + file().string() + " " + kinds[static_cast<int>(kind)] +
                                      ", not a regular file; kept as defaults.plist.bad, starting empty");
        // Set aside as it was, and the name is free for the next write.
        const fs::path bad = data_ / "defaults.plist.bad";
        EXPECT_TRUE(fs::is_symlink(bad) || fs::exists(bad)) << describe(kind);
        d.setInteger(12, "high");
        ASSERT_TRUE(d.synchronize());
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(file())));
        EXPECT_EQ(reload().integerForKey("high"), 12);
    }
}

TEST_F(UserDefaultsFiles, ChangesReachTheFileAtTheEndOfTheTurnAndAFailureIsRetriedQuietly) {
    // No instance yet: nothing to write, and none is made.
    UserDefaults::writePendingChanges();
    EXPECT_FALSE(fs::exists(data_));

    UserDefaults& d = UserDefaults::standardUserDefaults();
    d.setInteger(7, "high");
    UserDefaults::writePendingChanges();
    EXPECT_EQ(PlistValue::fromFile(file().string())["high"].asInt(), 7);
    // Nothing changed since: the turn writes nothing over a file replaced
    // behind its back.
    writeFile(file(), PlistValue(PlistValue::Dictionary{{"high", 5}}).toXml());
    UserDefaults::writePendingChanges();
    EXPECT_EQ(PlistValue::fromFile(file().string())["high"].asInt(), 5);

    // A directory that cannot be made: one log line however many turns
    // fail, and the change is written once the way is clear again.
    fs::remove_all(data_);
    writeFile(data_, "in the way");
    d.setInteger(9, "high");
    for (int turn = 0; turn < 100; ++turn) UserDefaults::writePendingChanges();
    ASSERT_EQ(logLines().size(), 1u);
    EXPECT_NE(logLines()[0].find("trying again every few seconds"), std::string::npos) << logLines()[0];
    fs::remove(data_);
    std::this_thread::sleep_for(UserDefaults::kRetryInterval + std::chrono::milliseconds(100));
    UserDefaults::writePendingChanges();
    EXPECT_EQ(PlistValue::fromFile(file().string())["high"].asInt(), 9);
    ASSERT_EQ(logLines().size(), 2u);
    EXPECT_EQ(logLines()[1], "defaults: " + file().string() + " written again");
}
