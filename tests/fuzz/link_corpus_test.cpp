// The link fuzzer's seeds, in every build: the cut, garbled and odd links it starts
// from are each answered as promised, and the whole ones give their replay.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "link_contract.h"
#include "links/replay_link.h"

namespace tilerush::fuzz {
namespace {

TEST(LinkCorpus, EverySeedKeepsThePromiseAndOnlyWholeLinksGiveAReplay) {
  int seeds = 0;
  for (const auto& entry : std::filesystem::directory_iterator(TILERUSH_LINK_CORPUS)) {
    std::ifstream in(entry.path(), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    const std::string name = entry.path().stem().string();
    EXPECT_TRUE(linkKeepsItsPromise(text.str())) << name;
    const bool whole = name == "good" || name == "web_address" || name == "fragment" || name == "padded" ||
                       name == "with_set";
    EXPECT_EQ(replayOfLink(text.str()).ok(), whole) << name;
    ++seeds;
  }
  EXPECT_GE(seeds, 10);
}

}  // namespace
}  // namespace tilerush::fuzz
