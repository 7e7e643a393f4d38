// Each test runs in a fresh empty folder of its own, with the stand-in reset.
#pragma once

#include "platform/posix/standin.h"

#include <gtest/gtest.h>
#include <string>

class InTestFolder : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

  private:
    std::string folder_;
    std::string previous_;
};

void WriteFileBytes(const std::string& name, const std::string& bytes);
std::string ReadFileBytes(const std::string& name);
bool FileExists(const std::string& name);
