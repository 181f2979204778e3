// install.log: listed products leave it untouched, new ones are appended, corrupt logs are rebuilt.
#include <gtest/gtest.h>

#include <string>

#include "setup/install_log.h"
#include "setup_fixture.h"

namespace {

std::string count(int32_t n)
{
    uint32_t v = uint32_t(n);
    return std::string{char(v & 0xFF), char((v >> 8) & 0xFF), char((v >> 16) & 0xFF), char((v >> 24) & 0xFF)};
}

std::string name(const std::string& text)
{
    return text + '\0';
}

setup::LogUpdate plan(const std::string& log, const std::string& product)
{
    return setup::planLogUpdate(reinterpret_cast<const unsigned char*>(log.data()), log.size(), product);
}

// What the file holds after the update is applied, as the writer does it.
std::string applied(const std::string& log, const setup::LogUpdate& update)
{
    switch (update.change) {
    case setup::LogChange::None: return log;
    case setup::LogChange::Append: return count(update.count) + log.substr(4) + update.bytes;
    case setup::LogChange::Rewrite: return update.bytes;
    }
    return log;
}

using LogFileTest = setup_test::SetupFixture;

}  // namespace

TEST(LogPlan, ListedProductChangesNothing)
{
    std::string log = count(2) + name("Other") + name("Tockwheel");
    EXPECT_EQ(plan(log, "Tockwheel").change, setup::LogChange::None);
    EXPECT_EQ(plan(log, "tockwheel").change, setup::LogChange::Append);   // names compare case-sensitively
}

TEST(LogPlan, NewProductRaisesTheCountAndIsAppended)
{
    std::string log = count(1) + name("Other");
    setup::LogUpdate update = plan(log, "Tockwheel");
    EXPECT_EQ(update.change, setup::LogChange::Append);
    EXPECT_EQ(applied(log, update), count(2) + name("Other") + name("Tockwheel"));
    EXPECT_EQ(applied(count(0), plan(count(0), "A")), count(1) + name("A"));
}

TEST(LogPlan, NineteenByteNamesKeepTheirNul)
{
    std::string longName(19, 'L');
    std::string log = count(2) + name(longName) + name("Tockwheel");
    EXPECT_EQ(plan(log, "Tockwheel").change, setup::LogChange::None);
    EXPECT_EQ(plan(log, longName).change, setup::LogChange::None);
}

// Found by fuzzing: a 20-byte name was walked as a name, so a log holding one passed as well formed.
TEST(LogPlan, TwentyByteNameIsNotAName)
{
    std::string twenty(20, 'T');
    std::string log = count(1) + name(twenty);
    setup::LogUpdate update = plan(log, "New");
    EXPECT_EQ(update.change, setup::LogChange::Rewrite);
    EXPECT_EQ(applied(log, update), count(1) + name("New"));
    EXPECT_EQ(plan(count(1) + name(twenty), twenty).change, setup::LogChange::Rewrite);
}

TEST(LogPlan, CorruptLogsAreRebuiltFromTheNamesTheyHold)
{
    std::string expected = count(2) + name("Other") + name("New");
    // The count promises more names than there are.
    EXPECT_EQ(applied("", plan(count(5) + name("Other"), "New")), expected);
    // A negative count.
    EXPECT_EQ(applied("", plan(count(-3) + name("Other"), "New")), expected);
    EXPECT_EQ(applied("", plan(count(INT32_MIN), "New")), count(1) + name("New"));
    // The last name lost its 0x00 byte: it is dropped, never merged with the new one.
    EXPECT_EQ(applied("", plan(count(2) + name("Other") + "Trunc", "New")), expected);
    // A run of bytes longer than a name.
    EXPECT_EQ(applied("", plan(count(2) + name("Other") + name(std::string(40, 'x')), "New")), expected);
    // Bytes after the counted names.
    EXPECT_EQ(applied("", plan(count(1) + name("Other") + "junk", "New")), expected);
    // Shorter than its count field.
    EXPECT_EQ(applied("", plan("\x01\x00", "New")), count(1) + name("New"));
    EXPECT_EQ(applied("", plan("", "New")), count(1) + name("New"));
}

TEST(LogPlan, CorruptLogAlreadyListingTheProductIsLeftAlone)
{
    EXPECT_EQ(plan(count(9) + name("New"), "New").change, setup::LogChange::None);
    EXPECT_EQ(plan(count(-1) + name("New"), "New").change, setup::LogChange::None);
}

TEST_F(LogFileTest, MissingLogIsCreatedWithTheProductAlone)
{
    ASSERT_EQ(::mkdir(windows("orvask").c_str(), 0755), 0);
    std::string start = platform::currentDirectory();
    ASSERT_EQ(setup::recordProduct(root + "/windows\\orvask", "Tockwheel"), setup::LogResult::Ok);
    EXPECT_EQ(setup_test::readBytes(windows("orvask/install.log")), count(1) + name("Tockwheel"));
    EXPECT_EQ(platform::currentDirectory(), start);
}

TEST_F(LogFileTest, ListedProductLeavesTheFileByteForByte)
{
    ASSERT_EQ(::mkdir(windows("Orvask").c_str(), 0755), 0);   // found whatever its case
    std::string log = count(2) + name("Tockwheel") + name("Other");
    setup_test::writeBytes(windows("Orvask/install.log"), log);
    ASSERT_EQ(setup::recordProduct(root + "/windows\\orvask", "Tockwheel"), setup::LogResult::Ok);
    EXPECT_EQ(setup_test::readBytes(windows("Orvask/install.log")), log);
}

TEST_F(LogFileTest, NewProductIsAppendedAndCorruptLogRewrittenInPlace)
{
    ASSERT_EQ(::mkdir(windows("orvask").c_str(), 0755), 0);
    std::string path = windows("orvask/install.log");
    setup_test::writeBytes(path, count(1) + name("Other"));
    ASSERT_EQ(setup::recordProduct(root + "/windows\\orvask", "Tockwheel"), setup::LogResult::Ok);
    EXPECT_EQ(setup_test::readBytes(path), count(2) + name("Other") + name("Tockwheel"));

    setup_test::writeBytes(path, count(7) + name("Other") + std::string(30, 'g'));
    ASSERT_EQ(setup::recordProduct(root + "/windows\\orvask", "Tockwheel"), setup::LogResult::Ok);
    EXPECT_EQ(setup_test::readBytes(path), count(2) + name("Other") + name("Tockwheel"));
}

TEST_F(LogFileTest, MissingSharedFolderFailsAndKeepsTheCurrentDirectory)
{
    std::string start = platform::currentDirectory();
    EXPECT_EQ(setup::recordProduct(root + "/windows\\orvask", "Tockwheel"), setup::LogResult::CannotCreate);
    EXPECT_EQ(platform::currentDirectory(), start);
    EXPECT_FALSE(setup_test::exists(disk("install.log")));
}
