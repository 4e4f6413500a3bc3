// The fuzzing seed corpus, replayed in every build: each script keeps the runner's
// promise, and those named bad_* stop on an error while the others run through.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "run_contract.h"

namespace tilerush::fuzz {

TEST(FuzzCorpus, EverySeedScriptKeepsThePromiseAndEndsAsItsNameSays) {
  int scripts = 0;
  for (const auto& entry : std::filesystem::directory_iterator(TILERUSH_FUZZ_CORPUS)) {
    std::ifstream file(entry.path(), std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    std::string script = text.str();
    ScriptRun run = runScriptText(script);
    std::string name = entry.path().filename().string();
    EXPECT_EQ(contractBreach(script, run), "") << name;
    EXPECT_EQ(run.status, name.rfind("bad_", 0) == 0 ? 2 : 0) << name << ": " << run.err;
    ++scripts;
  }
  EXPECT_GE(scripts, 20);
}

}  // namespace tilerush::fuzz
