// Settings of TZoGSM: initial values, the rules of its setters and their
// messages, and the component's own reports (without a modem).

#include "modem/zogsm.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <utility>

#include "modem/engine_thread.h"
#include "modem/secret_text.h"
#include "platform/headless_main_loop.h"
#include "platform/recording_dialogs.h"
#include "platform/test_folder.h"

namespace modem {
namespace {

using platform::Utf8ToAnsi;

class ZoGSMTest : public ::testing::Test {
 protected:
  ZoGSMTest() {
    platform::InstallDialogs(&dialogs);
    gsm.SetAppDir((folder.Path() / "").string());
    gsm.OnMisuse = [this](TZoGSM&, const std::string& text) { misuses.push_back(text); };
  }
  ~ZoGSMTest() override { platform::InstallDialogs(nullptr); }

  // The misuses reported since the last call; the component shows no box
  // itself.
  std::vector<std::string> Misuses() {
    EXPECT_TRUE(dialogs.Texts().empty());
    return std::exchange(misuses, {});
  }

  platform::TestFolder folder;
  platform::HeadlessMainLoop loop;
  platform::RecordingDialogs dialogs;
  TZoGSM gsm{loop};
  std::vector<std::string> misuses;
};

using Texts = std::vector<std::string>;

// "{" 8-4-4-4-12 upper-case hexadecimal digits "}".
bool IsBracedGuid(const std::string& text) {
  const std::string shape = "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}";
  if (text.size() != shape.size()) return false;
  for (size_t i = 0; i < shape.size(); ++i) {
    const char c = text[i];
    const bool ok = shape[i] == 'X' ? ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F')) : c == shape[i];
    if (!ok) return false;
  }
  return true;
}

TEST_F(ZoGSMTest, InitialValues) {
  EXPECT_EQ(gsm.InstanceName(), "");
  EXPECT_EQ(gsm.ComPort(), "COM1");
  EXPECT_FALSE(gsm.Active());
  EXPECT_FALSE(gsm.Connected());
  EXPECT_EQ(gsm.BaudRate(), "115200");
  EXPECT_EQ(gsm.InitStrings(), (Texts{"AT&F", "ATE0", "AT+CMGF=0", "AT+CNMI=2,2,0,1,1", "AT+CLIP=1"}));
  EXPECT_EQ(gsm.PrefixForCountry(), "+48");
  EXPECT_EQ(gsm.ResetCMD(), "AT&F");
  EXPECT_TRUE(gsm.ResetModemOnClose());
  EXPECT_EQ(gsm.SMSMergeMax(), 3);
  EXPECT_TRUE(gsm.AutoConnect());
  EXPECT_EQ(gsm.ACTimerInterval(), 2000);
  EXPECT_TRUE(gsm.CheckPwrSig());
  EXPECT_EQ(gsm.CheckInterval(), 5);
  EXPECT_TRUE(gsm.GetUnreaded());
  EXPECT_EQ(gsm.ATDelay(), 20);
  EXPECT_EQ(gsm.ATTimeout(), 2000);
  EXPECT_EQ(gsm.RecipientSepStart(), '=');
  EXPECT_EQ(gsm.RecipientSepStop(), '.');
  EXPECT_TRUE(gsm.CutCRLFfromText());
  EXPECT_TRUE(gsm.AutoModemINIT());
  EXPECT_TRUE(gsm.DisableAutoRxSMS());
  EXPECT_TRUE(gsm.CheckNumberSyntax());
  EXPECT_TRUE(gsm.EnableCIEV());
  EXPECT_TRUE(gsm.SuppressAutoReconnect());
  EXPECT_FALSE(gsm.UserDisconnect());
  EXPECT_EQ(gsm.RefNum(), 0);
  EXPECT_EQ(gsm.Engine(), nullptr);
  EXPECT_EQ(gsm.PollTimer().Interval(), 800);
  EXPECT_TRUE(gsm.PollTimer().Enabled());
  EXPECT_FALSE(gsm.ReconnectTimer().Enabled());
  EXPECT_EQ(gsm.ReconnectTimer().Interval(), 2000);
  EXPECT_FALSE(gsm.SearchTimer().Enabled());
  EXPECT_EQ(gsm.SearchTimer().Interval(), 500);
  EXPECT_EQ(gsm.ATCommand(), "");
  EXPECT_TRUE(Misuses().empty());
}

TEST_F(ZoGSMTest, CheckIntervalAndPollTimer) {
  struct Case {
    int value;
    int stored;
    bool message;
  } cases[] = {{1, 1, false}, {1000, 1000, false}, {30, 30, false}, {0, 5, true}, {1001, 5, true}, {-3, 5, true}};
  for (const Case& c : cases) {
    gsm.SetCheckInterval(c.value);
    EXPECT_EQ(gsm.CheckInterval(), c.stored) << c.value;
    EXPECT_EQ(gsm.PollTimer().Interval(), c.stored * 1000) << c.value;
    EXPECT_EQ(Misuses(), c.message ? Texts{Utf8ToAnsi("Możliwe wartości to: 1..1000 s")} : Texts{}) << c.value;
  }
}

TEST_F(ZoGSMTest, ATTimeoutRange) {
  struct Case {
    int value;
    int stored;
    bool message;
  } cases[] = {{500, 500, false}, {3000, 3000, false}, {1500, 1500, false},
               {100, 1000, true}, {499, 1000, true},   {3001, 1000, true}};
  for (const Case& c : cases) {
    gsm.SetATTimeout(c.value);
    EXPECT_EQ(gsm.ATTimeout(), c.stored) << c.value;
    EXPECT_EQ(Misuses(), c.message ? Texts{Utf8ToAnsi("Możliwe wartości to: 500..3000  [default = 1000]")} : Texts{})
        << c.value;
  }
}

TEST_F(ZoGSMTest, SMSMergeMaxIsAtLeastTwo) {
  for (auto [value, stored] : {std::pair{1, 2}, {0, 2}, {-5, 2}, {2, 2}, {10, 10}}) {
    gsm.SetSMSMergeMax(value);
    EXPECT_EQ(gsm.SMSMergeMax(), stored) << value;
  }
  EXPECT_TRUE(Misuses().empty());
}

TEST_F(ZoGSMTest, PrefixForCountryNeedsItsPlus) {
  struct Case {
    const char* value;
    const char* stored;
  } cases[] = {{"48", "+48"}, {"", "+48"}, {"   ", "+48"}, {" +420", "+48"}, {"+420", "+420"}, {"+1", "+1"}};
  for (const Case& c : cases) {
    gsm.SetPrefixForCountry(c.value);
    EXPECT_EQ(gsm.PrefixForCountry(), c.stored) << c.value;
  }
  EXPECT_TRUE(Misuses().empty());
}

TEST_F(ZoGSMTest, InstanceNameMustBeSet) {
  gsm.SetInstanceName("Talvane");
  EXPECT_EQ(gsm.InstanceName(), "Talvane");
  EXPECT_TRUE(Misuses().empty());
  gsm.SetInstanceName(" \t ");
  EXPECT_EQ(Misuses(), Texts{"Instance unique NAME must be set!"});
  EXPECT_TRUE(IsBracedGuid(gsm.InstanceName())) << gsm.InstanceName();
  const std::string generated = gsm.InstanceName();
  gsm.SetInstanceName(generated);  // unchanged: ignored
  EXPECT_EQ(gsm.InstanceName(), generated);
  EXPECT_TRUE(Misuses().empty());
}

TEST_F(ZoGSMTest, RecipientSeparators) {
  struct Step {
    bool start;  // which separator is set
    char value;
    char expectedStart;
    char expectedStop;
    const char* message;  // nullptr: none
  } steps[] = {
      {true, '.', '\0', '.', "Illegal character as StartSeparator - SPACE or DOT"},
      {true, ' ', '\0', '.', "Illegal character as StartSeparator - SPACE or DOT"},
      {true, '=', '=', '.', nullptr},
      {false, '=', '=', '.', "StopSeparator can't be the same as StartSeparator"},
      {true, '.', '\0', '.', "Illegal character as StartSeparator - SPACE or DOT"},
      {true, '#', '#', '.', nullptr},
      {false, '#', '#', '.', "StopSeparator can't be the same as StartSeparator"},
      {false, ' ', '#', '\0', "Illegal character as StopSeparator - SPACE"},
      {true, '\0', '#', '\0', "StartSeparator can't be the same as StopSeparator"},
      {false, '!', '#', '!', nullptr},
  };
  for (const Step& step : steps) {
    if (step.start) {
      gsm.SetRecipientSepStart(step.value);
    } else {
      gsm.SetRecipientSepStop(step.value);
    }
    EXPECT_EQ(gsm.RecipientSepStart(), step.expectedStart) << step.value;
    EXPECT_EQ(gsm.RecipientSepStop(), step.expectedStop) << step.value;
    EXPECT_EQ(Misuses(), step.message ? Texts{step.message} : Texts{}) << step.value;
  }
}

TEST_F(ZoGSMTest, InitStringsNeverEmpty) {
  gsm.SetInitStrings({});
  EXPECT_EQ(gsm.InitStrings(), Texts{"AT"});
  gsm.SetInitStrings({" ", "\t"});
  EXPECT_EQ(gsm.InitStrings(), Texts{"AT"});
  gsm.SetInitStrings({"AT&F", "", "ATE0"});
  EXPECT_EQ(gsm.InitStrings(), (Texts{"AT&F", "", "ATE0"}));
  gsm.SetInitStrings({"AT&F\r\nATE0"});  // a line holding a line break becomes two
  EXPECT_EQ(gsm.InitStrings(), (Texts{"AT&F", "ATE0"}));
}

TEST_F(ZoGSMTest, ReadOnlyLists) {
  gsm.SetPhoneBook({"x"});
  gsm.SetTxMessageParts({"y"});
  EXPECT_TRUE(gsm.PhoneBook().empty());
  EXPECT_TRUE(gsm.TxMessageParts().empty());
  EXPECT_EQ(Misuses(), (Texts{"PhoneBook - ReadOnly property!", "TxMessageParts - ReadOnly property!"}));
  gsm.SetRecipientsTable({"Sales", "Support"});
  gsm.SetPromoQuestions({"QUIZ"});
  EXPECT_EQ(gsm.RecipientsTable(), (Texts{"Sales", "Support"}));
  EXPECT_EQ(gsm.PromoQuestions(), Texts{"QUIZ"});
}

TEST_F(ZoGSMTest, CheckPwrSigAndHardModemStopTouchTheirTimers) {
  gsm.SetCheckPwrSig(true);  // unchanged: ignored
  EXPECT_EQ(gsm.PollTimer().Interval(), 800);
  gsm.SetCheckPwrSig(false);
  EXPECT_EQ(gsm.PollTimer().Interval(), 800);
  gsm.SetCheckPwrSig(true);
  EXPECT_EQ(gsm.PollTimer().Interval(), 200);

  gsm.ReconnectTimer().Start();
  gsm.SetHardModemStop(false);  // unchanged
  EXPECT_TRUE(gsm.ReconnectTimer().Enabled());
  gsm.SetHardModemStop(true);
  EXPECT_TRUE(gsm.HardModemStop());
  EXPECT_FALSE(gsm.ReconnectTimer().Enabled());
}

TEST_F(ZoGSMTest, NumberNormalisation) {
  struct Case {
    bool check;
    const char* value;
    const char* stored;
  } cases[] = {
      {true, "123456789", "+48123456789"},  {true, "0123456789", "+48123456789"},
      {true, "+48123456789", "+48123456789"}, {true, " 123456789\r\n", "+48123456789"},
      {true, "48123456789", "+4848123456789"}, {false, " 123456789", " 123456789"},
  };
  for (const Case& c : cases) {
    gsm.SetCheckNumberSyntax(c.check);
    gsm.SetSMSNumber(c.value);
    EXPECT_EQ(gsm.SMSNumber(), c.stored) << c.value;
  }
}

TEST_F(ZoGSMTest, TextPreviewCountsPartsWithoutAModem) {
  gsm.SetSMSMergeMax(10);
  gsm.SetSMSNumber("600100200");
  gsm.SetRefNum(77);
  gsm.SetSMSText("  " + std::string(161, 'a') + "\r\n");
  EXPECT_EQ(gsm.SMSText(), std::string(161, 'a'));
  ASSERT_EQ(gsm.TxMessageParts().size(), 2u);
  // A scratch reference of 0: RefNum is neither used nor advanced.
  EXPECT_NE(gsm.TxMessageParts()[0].find("05000300"), std::string::npos) << gsm.TxMessageParts()[0];
  EXPECT_EQ(gsm.RefNum(), 77);
  // The text is counted as assigned: no transliteration, line breaks kept.
  gsm.SetSMSText(Utf8ToAnsi("Zażółć\r\ngęślą"));
  ASSERT_EQ(gsm.TxMessageParts().size(), 1u);
  EXPECT_NE(gsm.TxMessageParts()[0].find(Utf8ToAnsi("\"Zażółć%ngęślą\"")), std::string::npos);
  gsm.SetSMSText(" \t\r\n");
  EXPECT_TRUE(gsm.TxMessageParts().empty());
  EXPECT_EQ(gsm.SMSText(), "");
  EXPECT_TRUE(Misuses().empty());
  EXPECT_FALSE(std::filesystem::exists(folder.Path() / "ReferenceNumbers.ini"));

  // A number so long that nothing fits is reported, and leaves no parts.
  gsm.SetCheckNumberSyntax(false);
  gsm.SetSMSNumber("+" + std::string(290, '1'));
  gsm.SetSMSText("abc");
  EXPECT_TRUE(gsm.TxMessageParts().empty());
  const Texts boxes = Misuses();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].rfind("Error encoding PDU: ", 0), 0u) << boxes[0];
}

TEST_F(ZoGSMTest, SecretMessages) {
  gsm.SetSMSNumber("600100200");
  gsm.SetEncodeSMS(true);
  struct Case {
    std::string pin;
    std::string sentPin;
  } cases[] = {{"1234", "1234"}, {"12345", "1234"}, {"12", "12  "}, {" \t", "    "}, {"", "    "}, {" 1", " 1  "}};
  const std::string text = Utf8ToAnsi("  Tajne: zażółć\r\n");
  for (const Case& c : cases) {
    gsm.SetEncodePIN(c.pin);
    gsm.SetSMSText(text);
    const std::string& secret = gsm.SMSText();
    ASSERT_TRUE(secret.starts_with("66") && secret.ends_with("BB")) << secret;
    const std::optional<std::string> plain = UnscrambleText(secret.substr(2, secret.size() - 4));
    ASSERT_TRUE(plain) << secret;
    // The PIN travels in front of the text, which is taken as it was given.
    EXPECT_EQ(*plain, c.sentPin + text) << c.pin;
    EXPECT_FALSE(gsm.TxMessageParts().empty());
  }
  // Longer texts are cut to 325 characters.
  gsm.SetSMSText(std::string(400, 'x'));
  EXPECT_EQ(*UnscrambleText(gsm.SMSText().substr(2, gsm.SMSText().size() - 4)), " 1  " + std::string(325, 'x'));
  // A blank text is no message, secret or not.
  gsm.SetSMSText("   ");
  EXPECT_TRUE(gsm.TxMessageParts().empty());
}

TEST_F(ZoGSMTest, RequestsWithoutEngineAreRefused) {
  gsm.SetComPort("COM6");
  gsm.SetConnected(true);
  EXPECT_FALSE(gsm.Connected());
  EXPECT_EQ(Misuses(), Texts{Utf8ToAnsi("Nie włączona usługa GSM dla portu: COM6")});
  gsm.SetATCommand("AT");
  EXPECT_EQ(Misuses(), Texts{Utf8ToAnsi("Nie można wysłać polecenia AT (brak włączonej usługi GSM)")});
  gsm.SetActive(false);  // nothing to stop
  EXPECT_FALSE(gsm.Active());
  gsm.SetSMSNumber("600100200");
  gsm.SetSMSText("Hello");
  EXPECT_EQ(gsm.SendSMS(), -1);
  EXPECT_EQ(Misuses(), Texts{Utf8ToAnsi("Brak połączenia z modemem GSM!")});
  EXPECT_EQ(gsm.TxMessageParts().size(), 1u);  // the preview stays
  gsm.ClearSendQueue();                        // nothing to clear
}

TEST_F(ZoGSMTest, ActivationCreatesOneEngineAndStopsIt) {
  int activated = 0;
  int deactivated = 0;
  gsm.OnGSMActivate = [&](TZoGSM& sender) {
    EXPECT_EQ(&sender, &gsm);
    EXPECT_TRUE(sender.Active());
    ++activated;
  };
  gsm.OnGSMDeActivate = [&](TZoGSM&) { ++deactivated; };
  gsm.SetActive(true);
  TZoGSMThread* engine = gsm.Engine();
  ASSERT_NE(engine, nullptr);
  EXPECT_EQ(gsm.ErrorText(), "OK");
  gsm.SetActive(true);  // a second write does nothing
  EXPECT_EQ(gsm.Engine(), engine);
  EXPECT_EQ(activated, 1);

  gsm.SetATCommand("AT");  // active but not connected
  EXPECT_EQ(Misuses(), Texts{Utf8ToAnsi("Nie można wysłać polecenia AT (brak połączenia z Modemem GSM)")});

  // Writing Connected := False while disconnected only marks the user's disconnection.
  gsm.SetConnected(false);
  EXPECT_TRUE(gsm.UserDisconnect());
  EXPECT_EQ(engine->ConnectCommand(), TZoGSMThread::kNoRequest);

  gsm.SetActive(false);
  EXPECT_FALSE(gsm.Active());
  EXPECT_EQ(gsm.Engine(), nullptr);
  EXPECT_EQ(deactivated, 1);
  EXPECT_FALSE(gsm.UserDisconnect());
}

TEST_F(ZoGSMTest, ReferenceIsLoadedWhenTheEngineStarts) {
  gsm.SetInstanceName("Talvane");
  gsm.SetRefNum(9);
  gsm.SetActive(true);
  EXPECT_EQ(gsm.RefNum(), 9);  // no file: the value held stays
  gsm.SetActive(false);
  std::ofstream(folder / "ReferenceNumbers.ini") << "[RefNum]\r\nTalvane=300\r\n";
  gsm.SetActive(true);
  EXPECT_EQ(gsm.RefNum(), 44);
  gsm.SetActive(false);
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST_F(ZoGSMTest, QuietErrorAndItsLogLine) {
  int raised = 0;
  gsm.OnQuietError = [&](TZoGSM&) { ++raised; };
  const auto log = folder / "gsm.log";
  struct Case {
    bool makeLog;
    std::string fileName;
    std::string errorText;
    bool written;
  } cases[] = {
      {false, log.string(), "SendSMS error: TimeOUT", false},
      {true, "", "SendSMS error: TimeOUT", false},
      {true, "   ", "SendSMS error: TimeOUT", false},
      {true, log.string(), "OK", false},
      {true, log.string(), Utf8ToAnsi("Błąd"), true},
  };
  for (const Case& c : cases) {
    gsm.SetMakeLog(c.makeLog);
    gsm.SetLogFileName(c.fileName);
    gsm.SetErrorText(c.errorText);
    gsm.DoQuietError();
    EXPECT_EQ(std::filesystem::exists(log), c.written) << c.errorText;
  }
  EXPECT_EQ(raised, 5);
  EXPECT_NE(ReadFile(log).find(" > Błąd\n"), std::string::npos) << ReadFile(log);

  // A log that cannot be written is not an error of the caller.
  gsm.SetLogFileName((folder / "missing" / "gsm.log").string());
  gsm.SetErrorText("x");
  EXPECT_NO_THROW(gsm.DoQuietError());
  EXPECT_EQ(raised, 6);
}

}  // namespace
}  // namespace modem
