#pragma once
// The published settings of TZoGSM that the engine reads, with their
// initial values. The component keeps them; the engine reads a copy taken on
// the main thread.

#include <string>
#include <vector>

namespace modem {

// The country of the numbers this program sends to: the prefix that makes a
// national number a destination, and that the caller's number of a call
// loses. Every other part of the program takes it from here.
inline constexpr const char* kCountryPrefix = "+48";

struct TZoGSMSettings {
  std::string InstanceName;
  std::string ComPort = "COM1";
  std::string BaudRate = "115200";
  std::vector<std::string> InitStrings = {"AT&F", "ATE0", "AT+CMGF=0", "AT+CNMI=2,2,0,1,1", "AT+CLIP=1"};
  std::string PrefixForCountry = kCountryPrefix;
  std::string ResetCMD = "AT&F";
  bool ResetModemOnClose = true;
  bool HardModemStop = false;
  bool SMSReport = false;
  bool SMSFlash = false;
  bool DisableIncomingSMS = false;
  bool MakeLog = false;
  std::string LogFileName;
  bool SpecialSymbols = false;
  int SMSMergeMax = 3;
  bool AutoConnect = true;
  int AutoConnectCNT = 0;
  int ACTimerInterval = 2000;
  bool CheckPwrSig = true;
  int CheckInterval = 5;
  bool GetUnreaded = true;
  int ATDelay = 20;
  int ATTimeout = 2000;
  bool DeleteSMSafterRead = false;
  bool CanCheckPower = true;
  bool CanCheckSignal = true;
  std::vector<std::string> RecipientsTable;
  std::vector<std::string> RecipientsGroups;
  char RecipientSepStart = '=';
  char RecipientSepStop = '.';
  bool CutCRLFfromText = true;
  bool HangUpVoiceConnection = false;
  int HangUpSignalCount = 0;
  bool AutoModemINIT = true;
  bool EncodeSMS = false;
  std::string EncodePIN;
  bool DisableAutoRxSMS = true;
  std::vector<std::string> PromoQuestions;
  bool CheckNumberSyntax = true;
  bool EnableCIEV = true;
};

}  // namespace modem
