#include "modem/part_group.h"

#include <gtest/gtest.h>

#include "modem/message_parts.h"

namespace modem {
namespace {

std::vector<TQueuedPart> Parts(const std::string& text, std::uint8_t reference, int mergeMax = 10,
                               bool report = false, const std::string& marker = "m") {
  SplitRequest request;
  request.recipient = {3, "600100200", "600100200", "+48600100200"};
  request.text = text;
  request.marker = marker;
  request.mergeMax = mergeMax;
  request.statusReport = report;
  return SplitIntoParts(request, reference);
}

TEST(PartGroup, ReadsTheConcatenationOfEveryPart) {
  // Three parts of one message, reference 200, with and without a validity
  // period and a status report request.
  for (bool report : {false, true}) {
    const std::vector<TQueuedPart> parts = Parts(std::string(307, 'a'), 200, 10, report);
    ASSERT_EQ(parts.size(), 3u);
    for (int i = 0; i < 3; ++i) {
      const std::optional<PartGroup> group = GroupOfPdu(parts[static_cast<size_t>(i)].pdu);
      ASSERT_TRUE(group) << parts[static_cast<size_t>(i)].pdu;
      EXPECT_EQ(group->reference, 200);
      EXPECT_EQ(group->parts, 3);
      EXPECT_EQ(group->position, i + 1);
    }
  }
  // Two groups of two (references 7 and 8), the last part alone without a header.
  const std::vector<TQueuedPart> groups = Parts(std::string(700, 'b'), 7, 2);
  ASSERT_EQ(groups.size(), 5u);
  EXPECT_EQ(GroupOfPdu(groups[2].pdu)->reference, 8);
  EXPECT_EQ(GroupOfPdu(groups[3].pdu)->position, 2);
  EXPECT_FALSE(GroupOfPdu(groups[4].pdu));
  // A 16-bit reference element after another element.
  EXPECT_EQ(GroupOfPdu("0041000B918406100002F0000009" "0A" "0A020000" "08041234020161F1").value().reference, 0x1234);
}

TEST(PartGroup, NothingForSingleMessagesAndBrokenPdus) {
  const std::string single = Parts("Hello", 0)[0].pdu;
  EXPECT_FALSE(GroupOfPdu(single));
  const std::string part = Parts(std::string(200, 'c'), 0)[0].pdu;
  for (const std::string& pdu : {std::string(), std::string("0"), std::string("ZZ"), part.substr(0, 30),
                                 part.substr(0, part.size() - 1), std::string("0041"), std::string("FF41000B")}) {
    EXPECT_FALSE(GroupOfPdu(pdu)) << pdu;
  }
}

TEST(PartGroup, LaterPartsOfTheSameMessageOnly) {
  const std::vector<TQueuedPart> a = Parts(std::string(307, 'a'), 5);
  const std::vector<TQueuedPart> b = Parts(std::string(307, 'a'), 6);
  const std::vector<TQueuedPart> other = Parts(std::string(307, 'a'), 5, 10, false, "other");
  EXPECT_TRUE(IsLaterPartOfSameMessage(a[0], a[1]));
  EXPECT_TRUE(IsLaterPartOfSameMessage(a[0], a[2]));
  EXPECT_TRUE(IsLaterPartOfSameMessage(a[1], a[2]));
  EXPECT_FALSE(IsLaterPartOfSameMessage(a[1], a[0]));  // an earlier part
  EXPECT_FALSE(IsLaterPartOfSameMessage(a[0], b[1]));  // another reference
  EXPECT_FALSE(IsLaterPartOfSameMessage(a[0], other[1]));  // another marker
  TQueuedPart otherRow = a[1];  // the same number on another row of the list
  otherRow.recipient.row = 4;
  EXPECT_FALSE(IsLaterPartOfSameMessage(a[0], otherRow));
  EXPECT_FALSE(IsLaterPartOfSameMessage(Parts("Hi", 5)[0], a[1]));  // a single message has no rest
}

}  // namespace
}  // namespace modem
