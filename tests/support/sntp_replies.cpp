#include "support/sntp_replies.h"

#include <algorithm>

namespace hv::test {
namespace {

void PutUint32(std::vector<std::uint8_t>& p, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[at + i] = static_cast<std::uint8_t>(v >> (24 - 8 * i));
}

}  // namespace

std::array<std::uint8_t, 8> TransmitOf(const PeerRequest& request) {
  std::array<std::uint8_t, 8> t{};
  if (request.bytes.size() >= 48) std::copy_n(request.bytes.begin() + 40, 8, t.begin());
  return t;
}

std::vector<std::uint8_t> CraftReply(const PeerRequest& request, const ReplyFields& f) {
  std::vector<std::uint8_t> p(std::max<std::size_t>(f.size, 48), 0);
  p[0] = static_cast<std::uint8_t>(f.leap << 6 | f.version << 3 | f.mode);
  p[1] = static_cast<std::uint8_t>(f.stratum);
  p[2] = 6;     // poll
  p[3] = 0xEC;  // precision
  std::copy(f.referenceId.begin(), f.referenceId.end(), p.begin() + 12);
  const auto originate = f.originate.value_or(TransmitOf(request));
  std::copy(originate.begin(), originate.end(), p.begin() + 24);
  PutUint32(p, 16, f.seconds - 16);               // reference
  PutUint32(p, 32, f.seconds - f.receiveBefore);  // receive
  PutUint32(p, 36, f.fraction);
  PutUint32(p, 40, f.seconds);  // transmit
  PutUint32(p, 44, f.fraction);
  p.resize(f.size);
  return p;
}

}  // namespace hv::test
