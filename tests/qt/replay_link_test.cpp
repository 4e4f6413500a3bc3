// Links that carry a replay, as the page makes them: read back byte for byte, and
// every way a link can be broken answered in one sentence, never read past 16 MiB.
#include <gtest/gtest.h>
#include <zlib.h>

#include <fstream>
#include <sstream>
#include <string>

#include "links/replay_link.h"

namespace tilerush {
namespace {

// Made by Chromium's and node's CompressionStream("deflate") from the golden
// pause_replay.sim, as the page's "Copy link" makes one.
constexpr const char* kPageLink =
    "r=1.eJyFlMuO4zYQRff8igtokQwgCLLciqftVXYDzKYx6B9gi2WLaIklkJTV_vugSPkxcYCsRLHIehzWrQLvPSFQx85AHyN5"
    "aAwcIj70MFTJKivYsG5fEK970Xaf0BFNizEc0m9QBWKvI45ywMyE2UU7YFM3LbQnGM_TRKbCT7qEEt0gl6CdyddxsmdyGEm7"
    "pbcDYdE2HlSBQDGdMvM4QXdR4rLrqMLfMXuPqRB_JnQ8UsDR-"
    "hBL2XbJ1tNgxDRqZyRN68DekH84klOQrHV2WqlAZLBRPJFTkkPCEnnCblM3Spuzdh1hW6uU2GDPFDKcSRszkLF-"
    "XakCP2gwewx0jNDe81IiLryac-wSb2Uqkx1hZE-P1kp90gWGF5d8qIT_3Y7kN2jutunRoArhI6D2-"
    "d0oRISOPeU4OgMNPS_WneA49vJNrHod4GdXpbojTxNbFwPa-rdi74Z_V4xJz4GuGabPndjr68uDF1Uk3Hs0q9ecW37OP1d32"
    "93La9V-OzwQPCSCIdIUwEc09a7a7lpEVgW22-"
    "1LtWsPeEOIPIVrIuI6J1Mi8L01cjdLI_5XJ6gChoWP9BVVtzo2jyyeCKyd8IQBA59YjKrALwrzKNDXSHt8cOxx0qOkMZIPN6"
    "Ft6rbOmlz958oTj1zzpkkEylshEqSEpxAlxGJjn7bX-yOfZVsclEnienZdTwbzJB5EzJmQt6c-"
    "7nEJU9JD_VLi67reVn99l5Ch0wOZ64RIb_dHwFF3kX2oVJJ6hnGj17QZ3-prdf-V7-"
    "Cyfv8HppImz4xWeWPpOVB6KZla0qUriqwCwSH9YmMaE9Jvj6PpvRe1pgZLUCjixNd5wv7mQtClpBaeB4MPuvOzLkTS5vpYUn"
    "MhYgo4eh7TQwrapm7rfRL7YI-EgcJvrZ8VP09Z78_jR3ZWdHX6uVx_7iOgweZpON27t66fjf8AlEcFLA";

// Made by the page's own "Copy link" code (web/links.js, under node) from the golden
// game_over.sim: the whole address, as the visitor pastes it.
constexpr const char* kPageCopiedLink =
    "http://127.0.0.1:8000/#r=1.eJytVEFu2zAQvOsVg_iSoIJAylEMJ6ceil4KNId8gJHWFmGKVEnKin9fLKmkTuvmUPRiU"
    "TK5nJ2dmRWeek8E40LEszImgGyH2BP2aqAHXH1VA-H7kfwVQlQ-BihYmuEsIfYq4kA0hnTimUJEaJ2nqghEHWThRrJFscJnP"
    "HvdHrDTPsQSO-ehzvbfp_OeQtR2n3BAB4xThLbRoSVj0Ahct85Mg4UUZbGCdzPWJRQk3A6DGiFvKkiB0WkbQ4krKbdXMLSLj"
    "Cf3V_Er1tvttrqrm1-foxtRi7u6ui0iA33SA_m66KZhXOohunFZpV5CqmSnIb8h9G5OzaDX-z6tls65nbl3gfDsYnQDPKm2p"
    "4BNLRtc89UbKWp8gpTrG-48j-OUWLH0kjGCgXHjKqJuMIQKTz1hVFMgGBUSREhRN_cYlD-Qxxp7R6FEDaOPvFC2W-YXyB8p8"
    "3IKI09LvGeDIRWqOyrbEuomU5HKwOgdvf0lhRC__4lRdZ2hVIxJ-Mb9qAgpGlHmqzuovdI2NSMagVnHHjKdrj4G8tHF55fVY"
    "tM88GItNk2ikknK-JiW-3NxlxiNOiHwkKkrs54Z_SoJCHNPnqAjdmTMRwCZ_z_oYC-5I_ksK7moKz_Webi_i6xYpekat3eLx"
    "QZ31Hb_8AYNnaMA62KFx6w-PLIW8pR1DGgNS9lZc2Ivccl0dorRWahZne4z7dZlmNzpQsRrbTblNFB1znpxIN4wW4xFviJpc"
    "DFLkuNfGn7Vw1PS9Zy2pQnJTcMZkKIoKzX5OWukzCEBUZ5FBhv9QGNMfPCUeLYpKCKFSB1a5b2mAIZRLThfYS0DoiMZ6_gq6"
    "9jJgxrDMrZXpzs7hcv-b91k43kUMIIEIIu_0x4v2VmLwfLvy0610XmclueF3DhLlffyyeRyIiTsl-V07r0VvvyYlDEcq-8jG"
    "oYUN6rjA0YVAu_QEV7pkL7-58i8lI6Xsyfddnsrb6v1pvnHyj8Bt9JMuA";

std::string base64url(const std::string& bytes) {
  static const char* digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
  std::string text;
  unsigned bits = 0;
  int count = 0;
  for (unsigned char byte : bytes) {
    bits = (bits << 8) | byte;
    count += 8;
    while (count >= 6) text.push_back(digits[(bits >> (count -= 6)) & 63]);
  }
  if (count > 0) text.push_back(digits[(bits << (6 - count)) & 63]);
  return text;
}

std::string deflated(const std::string& text) {
  uLongf size = compressBound(static_cast<uLong>(text.size()));
  std::string out(size, '\0');
  compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(text.data()),
            static_cast<uLong>(text.size()), 9);
  out.resize(size);
  return out;
}

std::string linkOf(const std::string& text) { return "r=1." + base64url(deflated(text)); }

TEST(ReplayLink, APageMadeLinkGivesBackItsReplayByteForByteHoweverItIsWritten) {
  std::ifstream file(TILERUSH_GOLDEN_DIR "/pause_replay.sim", std::ios::binary);
  const std::string replay((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  ASSERT_FALSE(replay.empty());
  for (const std::string& link : {std::string(kPageLink), "#" + std::string(kPageLink),
                                  "https://tilerush.example/play/#" + std::string(kPageLink),
                                  "http://127.0.0.1:8000/?x=1#" + std::string(kPageLink)}) {
    EXPECT_TRUE(looksLikeReplayLink(link)) << link;
    const Result<std::string> read = replayOfLink(link);
    ASSERT_TRUE(read.ok()) << read.error();
    EXPECT_EQ(read.value(), replay);
  }
  std::ifstream copied(TILERUSH_GOLDEN_DIR "/game_over.sim", std::ios::binary);
  const std::string gameOver((std::istreambuf_iterator<char>(copied)), std::istreambuf_iterator<char>());
  ASSERT_TRUE(looksLikeReplayLink(kPageCopiedLink));
  const Result<std::string> read = replayOfLink(kPageCopiedLink);
  ASSERT_TRUE(read.ok()) << read.error();
  EXPECT_EQ(read.value(), gameOver);
  // The window's own links (the kept games' "Copy link") are the page's, and read back.
  EXPECT_EQ(replayLink(gameOver), "#" + linkOf(gameOver));
  EXPECT_EQ(replayOfLink(replayLink(gameOver)).value(), gameOver);
  EXPECT_FALSE(looksLikeReplayLink("game.tilerush"));
  EXPECT_FALSE(looksLikeReplayLink("https://tilerush.example/#about"));
}

TEST(ReplayLink, ABrokenLinkIsOneSentenceAndNothingInflatesPast16MiB) {
  const std::string good = linkOf("seed 1\nopen\nadvance 100\n");
  std::string garbled = good;
  garbled[good.size() / 2 + 2] = garbled[good.size() / 2 + 2] == 'A' ? 'B' : 'A';
  std::string huge;
  while (huge.size() <= kLongestReplayBytes) huge += "advance 1\n";
  const struct {
    std::string link;
    const char* why;
  } broken[] = {
      {good.substr(0, good.size() - 6), "the link is cut short"},
      {"r=1.", "the link is cut short"},
      {garbled, "the link is garbled"},
      {"r=1.AAAA", "the link is garbled"},
      {"r=1.ab$d", "the link holds characters no replay link has"},
      {"r=3." + good.substr(4), "the link's replay is of a kind this version of Tilerush does not read"},
      {"https://tilerush.example/#s=1.abcd", "the link holds no replay"},
      {linkOf(huge), "the link's replay is larger than 16 MiB"},
      {"r=1." + base64url(deflated("seed 1\nopen\n") + "more"), "the link has more in it than its replay"},
  };
  for (const auto& [link, why] : broken) {
    const Result<std::string> read = replayOfLink(link);
    EXPECT_FALSE(read.ok()) << link.substr(0, 40);
    EXPECT_EQ(read.error(), why) << link.substr(0, 40);
  }
}

}  // namespace
}  // namespace tilerush
