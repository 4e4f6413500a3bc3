// The body of a request is read as nlohmann would read it, whichever way it is read.
#include <gtest/gtest.h>

#include <string>

#include "board_games.h"
#include "server/body.h"

namespace tilerush::testing {
namespace {

TEST(Body, EveryBodyReadsAsNlohmannReadsIt) {
  const std::string game = nlohmann::json{{"name", "Ann \"the\" best\\"},
                                          {"key", std::string(32, 'k')},
                                          {"replay", autoplayedGame(3, 20'000)}}
                               .dump();
  const std::string bodies[] = {
      game,
      " \r\n\t{ \"name\" : \"a\" ,\"key\":\"b\"\t}\n ",
      "{}",
      "{\"e\":\"\\\"\\\\\\/\\b\\f\\n\\r\\t\"}",
      "{\"name\":\"a\",\"name\":\"b\"}",  // the last of two wins
      "{\"name\":\"\\u00e9\\ud83d\\ude00\"}",
      "{\"name\":\"\xc3\xa9\"}",
      "{\"name\":\"\xff\"}",
      "{\"name\":\"\\ud83d\"}",
      "{\"name\":\"a\x01\"}",
      "{\"name\":\"a\x7f\"}",
      "{\"n\":1,\"m\":[true,null],\"o\":{\"p\":\"q\"}}",
      "\xef\xbb\xbf{\"name\":\"a\"}",
      "{\"name\":\"a\",}",
      "{\"name\":\"a\"} x",
      "{\"name\":\"a\"",
      "{\"name\":\"a\\",
      "{\"name\":\"\\x\"}",
      "{\"name\" \"a\"}",
      "{name:\"a\"}",
      "[\"a\"]",
      "\"a\"",
      "",
      " ",
  };
  for (const std::string& body : bodies) {
    const nlohmann::json read = board::parseBody(body);
    const nlohmann::json expected = nlohmann::json::parse(body, nullptr, false);
    ASSERT_EQ(read.is_discarded(), expected.is_discarded()) << body.substr(0, 80);
    if (!expected.is_discarded()) {
      EXPECT_EQ(read, expected) << body.substr(0, 80);
    }
  }
}

}  // namespace
}  // namespace tilerush::testing
