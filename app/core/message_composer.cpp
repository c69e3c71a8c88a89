#include "app/core/message_composer.h"

#include <string>

#include "app/core/sms_filters.h"
#include "modem/message_parts.h"
#include "modem/zogsm_settings.h"
#include "platform/text.h"

namespace app {
namespace {

// Removed from the editor's text at every normalisation (its first occurrence).
const AnsiString& HiddenSequence() {
  static const AnsiString sequence = Ansi("ęęłęó");
  return sequence;
}

// Parts per concatenated message in the counter (the campaign sends groups of ten).
constexpr int kCountingMergeMax = 20;

// Polish letters kept, and every other character the editor could not show a
// question mark: the first filter's GSM positions are control codes, which
// the same filter turns into question marks the second time.
AnsiString ShowableWithPolish(const AnsiString& polish) { return SmsFilterPolish(polish); }

}  // namespace

AnsiString NormalisedEditorText(const AnsiString& typed, bool polishLetters) {
  AnsiString polish = SmsFilterPolish(typed);
  if (const size_t at = polish.find(HiddenSequence()); at != AnsiString::npos) {
    polish.erase(at, HiddenSequence().size());
  }
  return polishLetters ? ShowableWithPolish(polish) : SmsFilterPlain(polish);
}

AnsiString CampaignTextOf(const AnsiString& typed, bool polishLetters) {
  const AnsiString polish = SmsFilterPolish(typed);
  return platform::TrimControl(polishLetters ? ShowableWithPolish(polish) : polish);
}

int MessagePartCount(const AnsiString& text, bool ucs2) {
  modem::SplitRequest request;
  // Any valid destination does: the count depends on the text alone.
  request.recipient.destination = std::string(modem::kCountryPrefix) + "123456789";
  request.text = text;
  request.mergeMax = kCountingMergeMax;
  request.forceUcs2 = ucs2;
  std::uint8_t reference = 0;
  return static_cast<int>(modem::SplitIntoParts(request, reference).size());
}

}  // namespace app
