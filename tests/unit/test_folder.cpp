#include "test_folder.h"

#include <climits>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <unistd.h>

void InTestFolder::SetUp() {
    char cwd[PATH_MAX];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    previous_ = cwd;
    char pattern[] = "/tmp/tarsel-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    folder_ = pattern;
    ASSERT_EQ(chdir(folder_.c_str()), 0);
    standin::Reset();
}

void InTestFolder::TearDown() {
    EXPECT_EQ(standin::OpenFiles(), 0) << "a file was left open";
    EXPECT_EQ(standin::OpenKeys(), 0) << "a registry key was left open";
    standin::Reset();
    if (chdir(previous_.c_str()) == 0)
        std::system(("rm -rf '" + folder_ + "'").c_str());
}

void WriteFileBytes(const std::string& name, const std::string& bytes) {
    std::ofstream(name, std::ios::binary) << bytes;
}

std::string ReadFileBytes(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

bool FileExists(const std::string& name) {
    return access(name.c_str(), F_OK) == 0;
}
