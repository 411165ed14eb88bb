// The acceptance rules of a reply, each on bytes alone.
#include "time/sntp_packet.h"

#include <gtest/gtest.h>

namespace hv::time::sntp {
namespace {

Packet ReplyPacket(std::uint8_t flags, std::uint8_t stratumByte, NtpTimestamp transmit,
                   const char* referenceId = "LOCL") {
  Packet p = EncodeRequest(transmit);
  p[kFlagsOffset] = flags;
  p[kStratumOffset] = stratumByte;
  for (int i = 0; i < 4; ++i) p[kReferenceIdOffset + i] = static_cast<std::uint8_t>(referenceId[i]);
  return p;
}

TEST(SntpReplyRules, EachRuleHasItsVerdictAndTheFirstThatFailsNamesIt) {
  const NtpTimestamp t{3839572800u, 0};
  struct Case {
    const char* what;
    Packet reply;
    bool checkStratum;
    Verdict verdict;
    const char* kiss;
  };
  const Case cases[] = {
      {"leap 2, stratum 15", ReplyPacket(0xA4, 15, t), true, Verdict::Accept, ""},
      {"leap 3 before a zero transmit", ReplyPacket(0xE4, 2, {}), true, Verdict::LeapAlarm, ""},
      {"zero transmit before stratum 0", ReplyPacket(0x24, 0, {}), true, Verdict::ZeroTransmit,
       "LOCL"},
      {"only the fraction set", ReplyPacket(0x24, 2, {0, 1}), true, Verdict::Accept, ""},
      {"stratum 16", ReplyPacket(0x24, 16, t), true, Verdict::StratumUnusable, ""},
      {"stratum 16, unchecked", ReplyPacket(0x24, 16, t), false, Verdict::Accept, ""},
      {"a kiss", ReplyPacket(0x24, 0, t, "RATE"), true, Verdict::StratumUnusable, "RATE"},
      {"no kiss above stratum 0", ReplyPacket(0x24, 1, t, "RATE"), true, Verdict::Accept, ""},
      {"no kiss in small letters", ReplyPacket(0x24, 0, t, "rate"), false, Verdict::Accept, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(JudgeReply(c.reply, c.checkStratum), c.verdict) << c.what;
    EXPECT_EQ(KissCode(c.reply), c.kiss) << c.what;
  }
  for (const char* code : {"DENY", "RSTR", "RATE"}) EXPECT_TRUE(KissMeansStop(code)) << code;
  for (const char* code : {"INIT", "STEP", ""}) EXPECT_FALSE(KissMeansStop(code)) << code;
}

TEST(SntpReplyRules, AReplyAnswersOnlyTheRequestWhoseTransmitTimeItCarriesBack) {
  const NtpTimestamp sent{3839572800u, 0x12345678u};
  Packet echo = ReplyPacket(0x24, 2, {3839572801u, 0});
  for (std::size_t i = 0; i < kTimestampSize; ++i)
    echo[kOriginateOffset + i] = EncodeRequest(sent)[kTransmitOffset + i];
  struct Case {
    const char* what;
    std::size_t bytes;
    NtpTimestamp asked;
    bool answers;
  };
  const Case cases[] = {
      {"whole", kPacketSize, sent, true},
      {"cut after the originate", kOriginateOffset + kTimestampSize, sent, true},
      {"cut inside the originate", kOriginateOffset + kTimestampSize - 1, sent, false},
      {"the lowest bit differs", kPacketSize, {sent.seconds, sent.fraction ^ 1}, false},
      {"the seconds differ", kPacketSize, {sent.seconds + 1, sent.fraction}, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(AnswersRequest(std::span(echo.data(), c.bytes), c.asked), c.answers) << c.what;
  }
  // A zero originate never answers a request: ours always carry a time.
  EXPECT_FALSE(AnswersRequest(ReplyPacket(0x24, 2, {1, 0}), sent));
}

}  // namespace
}  // namespace hv::time::sntp
