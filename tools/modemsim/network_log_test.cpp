// The network log line, read from the submitted PDU with the project's own
// decoder: destination as the PDU's type of address says, and the
// concatenation values of the part.
#include "tools/modemsim/network_log.h"

#include <gtest/gtest.h>

namespace modemsim {
namespace {

TEST(NetworkLogLine, DestinationAndConcatenationAsThePduStatesThem) {
  struct Case {
    const char* what;
    int reference;
    std::string pdu;
    std::string fields;  // the line without "accepted" and the PDU
  };
  const Case cases[] = {
      {"international, one part", 5, "0011000B918406010203F40000AA05E8329BFD06", "+48601020304\t5\t-\t-\t-"},
      {"national, one part", 255, "001100098106010203F40000AA05E8329BFD06", "601020304\t255\t-\t-\t-"},
      {"second of three parts, 8-bit reference", 12, "0051000B918406010203F40004AA080500032A03024869",
       "+48601020304\t12\t42\t2\t3"},
      {"first of two parts, 16-bit reference", 0, "0051000B918406010203F40004AA09060804BEEF02014869",
       "+48601020304\t0\t48879\t1\t2"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(NetworkLogLine(c.reference, c.pdu), "accepted\t" + c.fields + "\t" + c.pdu) << c.what;
  }
}

}  // namespace
}  // namespace modemsim
