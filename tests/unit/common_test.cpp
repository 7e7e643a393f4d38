// The shared helpers: text-file reads and writes, decimal text, the error box.
#include "common/decimal.h"
#include "common/message_boxes.h"
#include "common/text_file.h"
#include "test_folder.h"

#include <climits>
#include <string>
#include <vector>

namespace {

TEST(Decimal, ParsesAsAtoiDoes) {
    struct Case {
        const char* text;
        int value;
    } cases[] = {
        {"0", 0},
        {"42", 42},
        {"  7", 7},
        {"\t\n 7", 7},
        {"-3", -3},
        {"+5", 5},
        {"12x", 12},
        {"x12", 0},
        {"", 0},
        {"-", 0},
        {"- 1", 0},
        {"1 2", 1},
        {"2147483647", INT_MAX},
        {"-2147483648", INT_MIN},
        {"99999999999999999999", INT_MAX},
        {"-99999999999999999999", INT_MIN},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseDecimal(c.text), c.value) << '"' << c.text << '"';
}

TEST(Decimal, FormatsPlainDecimal) {
    char text[21];
    for (long long value : {0LL, 7LL, -5LL, 65535LL, LLONG_MIN}) {
        FormatDecimal(value, text, sizeof text);
        EXPECT_EQ(std::string(text), std::to_string(value));
    }
    char small[3];
    FormatDecimal(12345, small, sizeof small);
    EXPECT_EQ(std::string(small), "12");
}

class TextFiles : public InTestFolder {};

std::vector<std::string> Chunks(const std::string& bytes, size_t size) {
    WriteFileBytes("f.txt", bytes);
    TextFile file;
    EXPECT_TRUE(OpenTextForReading(&file, "f.txt"));
    std::vector<std::string> chunks;
    std::vector<char> chunk(size);
    while (ReadTextChunk(&file, chunk.data(), size))
        chunks.push_back(chunk.data());
    EXPECT_EQ(chunk[0], '\0');
    CloseTextFile(&file);
    return chunks;
}

TEST_F(TextFiles, ChunksReadAsTheRuntimeLineReadDoes) {
    using V = std::vector<std::string>;
    EXPECT_EQ(Chunks("10\r\n5\r\n", 3), (V{"10", "\n", "5\n"}));
    EXPECT_EQ(Chunks("120\r\n", 3), (V{"12", "0\n"}));
    EXPECT_EQ(Chunks("\r\n\r\nx", 3), (V{"\n", "\n", "x"}));
    EXPECT_EQ(Chunks("12345\r\n", 5), (V{"1234", "5\n"}));
    EXPECT_EQ(Chunks("a\rb\n\x1a"
                     "c\n",
                     10),
              (V{"ab\n"}));
    EXPECT_EQ(Chunks("", 3), V{});
}

TEST_F(TextFiles, WholeLinesDropWhatDoesNotFit) {
    WriteFileBytes("f.txt", "abcdef\r\nxy\nlast");
    TextFile file;
    ASSERT_TRUE(OpenTextForReading(&file, "f.txt"));
    char line[4];
    bool ended = false;
    ASSERT_TRUE(ReadTextLine(&file, line, sizeof line, &ended));
    EXPECT_STREQ(line, "abc");
    EXPECT_TRUE(ended);
    ASSERT_TRUE(ReadTextLine(&file, line, sizeof line, &ended));
    EXPECT_STREQ(line, "xy");
    ASSERT_TRUE(ReadTextLine(&file, line, sizeof line, &ended));
    EXPECT_STREQ(line, "las");
    EXPECT_FALSE(ended);
    EXPECT_FALSE(ReadTextLine(&file, line, sizeof line, &ended));
    EXPECT_STREQ(line, "");
    CloseTextFile(&file);
}

TEST_F(TextFiles, WritesCrLfAndCopiesLinesWhole) {
    const std::string longLine(2000, 'z');
    WriteFileBytes("in.txt", "one\n" + longLine + "\r\nlast");
    TextFile in, out;
    ASSERT_TRUE(OpenTextForReading(&in, "in.txt"));
    ASSERT_TRUE(OpenTextForWriting(&out, "out.txt"));
    WriteText(&out, "head\nline\n");
    while (CopyTextLine(&in, &out)) {
    }
    CloseTextFile(&in);
    EXPECT_TRUE(FinishTextFile(&out, true));
    EXPECT_EQ(ReadFileBytes("out.txt"), "head\r\nline\r\none\r\n" + longLine + "\r\nlast");
}

TEST_F(TextFiles, FailedWritesFlushesAndClosesAreReported) {
    for (standin::Call call :
         {standin::Call::WriteFile, standin::Call::FlushFileBuffers, standin::Call::CloseHandle}) {
        TextFile out;
        ASSERT_TRUE(OpenTextForWriting(&out, "out.txt"));
        standin::FailCall(call);
        WriteText(&out, std::string(1500, 'x').c_str());
        EXPECT_FALSE(FinishTextFile(&out, true)) << static_cast<int>(call);
    }
    TextFile missing;
    EXPECT_FALSE(OpenTextForReading(&missing, "missing.txt"));
}

class ErrorBoxes : public InTestFolder {};

TEST_F(ErrorBoxes, ShowTheSystemTextOrTheCode) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    ShowLastErrorBox("ERROR: open default browser failed");
    ShowRegistryErrorBox(ERROR_ACCESS_DENIED, "Registry");
    ShowRegistryErrorBox(1234, "Unknown");
    ASSERT_EQ(standin::Boxes().size(), 3u);
    EXPECT_EQ(standin::Boxes()[0].text, "The system cannot find the file specified.\r\n");
    EXPECT_EQ(standin::Boxes()[0].caption, "ERROR: open default browser failed");
    EXPECT_EQ(standin::Boxes()[1].text, "Access is denied.\r\n");
    EXPECT_EQ(standin::Boxes()[2].text, "Error 1234");
    for (const standin::Box& box : standin::Boxes()) {
        EXPECT_EQ(box.flags, static_cast<UINT>(MB_ICONINFORMATION));
        EXPECT_EQ(box.owner, nullptr);
    }
}

} // namespace
