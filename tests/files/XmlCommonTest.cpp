#include "files/XmlCommon.h"

#include <gtest/gtest.h>

#include "files/FileError.h"
#include "files/XmlDocument.h"
#include "model/Cp1251.h"

namespace {

struct NumberCase {
    const char* text;
    bool isNumber;
    int32_t value;
};

TEST(XmlNumber, ReadsDecimalAndHexadecimalAndRefusesEverythingElse) {
    const NumberCase cases[] = {
        {"0", true, 0},
        {"42", true, 42},
        {"+42", true, 42},
        {"-42", true, -42},
        {"   7", true, 7},
        {"\t7", true, 7},
        {"007", true, 7},
        {"$1F", true, 31},
        {"x1f", true, 31},
        {"X1F", true, 31},
        {"0x0100", true, 256},
        {"0X0101", true, 257},
        {"-0x10", true, -16},
        {"-$10", true, -16},
        {"2147483647", true, 2147483647},
        {"-2147483648", true, INT32_MIN},
        {"0x7FFFFFFF", true, 2147483647},
        {"-0x80000000", true, INT32_MIN},
        // not numbers
        {"", false, 0},
        {"   ", false, 0},
        {"-", false, 0},
        {"+", false, 0},
        {"$", false, 0},
        {"0x", false, 0},
        {"7 ", false, 0},
        {"7\n", false, 0},
        {"7a", false, 0},
        {"abc", false, 0},
        {"1.5", false, 0},
        {"1e3", false, 0},
        {"- 5", false, 0},
        {"--5", false, 0},
        {"0x1G", false, 0},
        {"12x", false, 0},
        {"00x1", false, 0},
        {"\n7", false, 0},
        {"2147483648", false, 0},
        {"-2147483649", false, 0},
        {"0x80000000", false, 0},
        {"0xFFFFFFFF", false, 0},
        {"99999999999999999999999", false, 0},
    };
    for (const NumberCase& c : cases) {
        int32_t value = 12345;
        EXPECT_EQ(ReadXmlNumber(c.text, value), c.isNumber) << '"' << c.text << '"';
        EXPECT_EQ(value, c.isNumber ? c.value : 12345) << '"' << c.text << '"';
    }
}

class XmlAccess : public ::testing::Test {
protected:
    XmlDocument doc = XmlDocument::Parse(
        "<?xml version=\"1.0\" encoding=\"windows-1251\"?>"
        "<r a=\"12\" h=\"0x10\" bad=\"1 \" empty=\"\">"
        "<n>5</n><n>6</n><t>\xCF\xF0\xE8\xE2\xE5\xF2 &amp; &lt;</t><neg>-3</neg><junk>3x</junk>"
        "<e/><z>0</z></r>");
    xmlNodePtr root = doc.Root();
};

TEST_F(XmlAccess, ChildValuesTakeTheFirstChildOrTheDefault) {
    bool found = false;
    EXPECT_EQ(XmlChildText(root, "t", "def", &found), Utf8ToCp1251("Привет & <"));
    EXPECT_TRUE(found);
    EXPECT_EQ(XmlChildText(root, "missing", "def", &found), "def");
    EXPECT_FALSE(found);
    EXPECT_EQ(XmlChildText(nullptr, "t", "def", &found), "def");
    EXPECT_FALSE(found);
    EXPECT_EQ(XmlChildText(root, "e", "def", &found), "");
    EXPECT_TRUE(found);

    EXPECT_EQ(XmlChildInt(root, "n", 99), 5);
    EXPECT_EQ(XmlChildInt(root, "neg", 99), -3);
    EXPECT_EQ(XmlChildInt(root, "junk", 99), 99);
    EXPECT_EQ(XmlChildInt(root, "e", 99), 99);
    EXPECT_EQ(XmlChildInt(root, "missing", 99), 99);
    EXPECT_EQ(XmlChildInt(nullptr, "n", 99), 99);

    EXPECT_TRUE(XmlChildBool(root, "n", false));
    EXPECT_TRUE(XmlChildBool(root, "neg", false));
    EXPECT_FALSE(XmlChildBool(root, "z", true));
    EXPECT_TRUE(XmlChildBool(root, "junk", true));
    EXPECT_FALSE(XmlChildBool(root, "junk", false));
    EXPECT_TRUE(XmlChildBool(root, "missing", true));
}

TEST_F(XmlAccess, AttributesTakeTheValueOrTheDefault) {
    bool found = false;
    EXPECT_EQ(XmlAttrText(root, "a", "def", &found), "12");
    EXPECT_TRUE(found);
    EXPECT_EQ(XmlAttrText(root, "missing", "def", &found), "def");
    EXPECT_FALSE(found);
    EXPECT_EQ(XmlAttrText(nullptr, "a", "def", &found), "def");
    EXPECT_EQ(XmlAttrInt(root, "a", -1), 12);
    EXPECT_EQ(XmlAttrInt(root, "h", -1), 16);
    EXPECT_EQ(XmlAttrInt(root, "bad", -1), -1);
    EXPECT_EQ(XmlAttrInt(root, "empty", -1), -1);
    EXPECT_EQ(XmlAttrInt(root, "missing", -1), -1);
}

TEST(XmlWrite, AddedChildrenReadBackAndTextIsEscapedAndEncoded) {
    XmlDocument doc;
    xmlNodePtr root = doc.CreateRoot("root");
    XmlAddChildInt(root, "i", -2147483647 - 1);
    XmlAddChildBool(root, "t", true);
    XmlAddChildBool(root, "f", false);
    const std::string text = Utf8ToCp1251("Ф0 <&> \"кавычки\"");
    XmlAddChildText(root, "s", text);
    XmlSetAttrInt(root, "id", 199);
    const std::string bytes = doc.Serialize();
    EXPECT_NE(bytes.find("<i>-2147483648</i>"), std::string::npos);
    EXPECT_NE(bytes.find("<t>1</t>"), std::string::npos);
    EXPECT_NE(bytes.find("<f>0</f>"), std::string::npos);
    // Stored as Windows-1251 bytes, markup escaped.
    EXPECT_NE(bytes.find(Utf8ToCp1251("<s>Ф0 &lt;&amp;&gt; \"кавычки\"</s>")), std::string::npos);

    const XmlDocument back = XmlDocument::Parse(bytes);
    EXPECT_EQ(XmlChildInt(back.Root(), "i", 0), INT32_MIN);
    EXPECT_TRUE(XmlChildBool(back.Root(), "t", false));
    EXPECT_FALSE(XmlChildBool(back.Root(), "f", true));
    EXPECT_EQ(XmlChildText(back.Root(), "s", ""), text);
    EXPECT_EQ(XmlAttrInt(back.Root(), "id", 0), 199);
}

} // namespace
