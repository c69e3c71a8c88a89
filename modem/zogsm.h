#pragma once
// TZoGSM: the main-thread face of one GSM modem. It keeps the settings and
// validates them, starts and stops the engine thread (TZoGSMThread) that owns
// the serial port, runs the reconnect and poll timers, and raises every
// notification of the engine as an event on the main thread.
//
// Everything here runs on the main thread. The engine reaches the component
// only through its hand-over (hand_over.h); the component reaches the engine
// only through the engine's shared queues and request flags.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "modem/capabilities.h"
#include "modem/message_parts.h"
#include "modem/outgoing_message.h"
#include "modem/phone_state.h"
#include "modem/zogsm_events.h"
#include "modem/zogsm_settings.h"
#include "platform/codepage.h"
#include "platform/main_loop.h"

namespace modem {

class HandOver;
class ModemSearch;
class TZoGSMThread;

class TZoGSM {
 public:
  explicit TZoGSM(platform::MainLoop& loop);
  // Deactivates first when still active (without raising events).
  virtual ~TZoGSM();
  TZoGSM(const TZoGSM&) = delete;
  TZoGSM& operator=(const TZoGSM&) = delete;

  // ---- Published properties, in their declared order ----
  const std::string& InstanceName() const { return settings_.InstanceName; }
  void SetInstanceName(const std::string& value);
  const std::string& ComPort() const { return settings_.ComPort; }
  void SetComPort(const std::string& value) { settings_.ComPort = value; }
  bool Active() const { return active_; }
  void SetActive(bool value);
  bool Connected() const { return connected_; }
  void SetConnected(bool value);
  const std::string& BaudRate() const { return settings_.BaudRate; }
  void SetBaudRate(const std::string& value) { settings_.BaudRate = value; }
  const std::vector<std::string>& InitStrings() const { return settings_.InitStrings; }
  void SetInitStrings(const std::vector<std::string>& value);
  const std::string& PrefixForCountry() const { return settings_.PrefixForCountry; }
  void SetPrefixForCountry(const std::string& value);
  const std::string& ResetCMD() const { return settings_.ResetCMD; }
  void SetResetCMD(const std::string& value) { settings_.ResetCMD = value; }
  bool ResetModemOnClose() const { return settings_.ResetModemOnClose; }
  void SetResetModemOnClose(bool value) { settings_.ResetModemOnClose = value; }
  bool HardModemStop() const { return settings_.HardModemStop; }
  void SetHardModemStop(bool value);
  bool SMSReport() const { return settings_.SMSReport; }
  void SetSMSReport(bool value) { settings_.SMSReport = value; }
  const std::string& SMSText() const { return smsText_; }
  // Stores the text (a secret message with EncodeSMS) and rebuilds
  // TxMessageParts as a preview, without a modem and without using RefNum.
  void SetSMSText(const std::string& value);
  const std::string& SMSMessageMarker() const { return smsMessageMarker_; }
  void SetSMSMessageMarker(const std::string& value) { smsMessageMarker_ = value; }
  bool SMSFlash() const { return settings_.SMSFlash; }
  void SetSMSFlash(bool value) { settings_.SMSFlash = value; }
  bool DisableIncomingSMS() const { return settings_.DisableIncomingSMS; }
  void SetDisableIncomingSMS(bool value) { settings_.DisableIncomingSMS = value; }
  bool MakeLog() const { return settings_.MakeLog; }
  void SetMakeLog(bool value) { settings_.MakeLog = value; }
  const std::string& LogFileName() const { return settings_.LogFileName; }
  void SetLogFileName(const std::string& value) { settings_.LogFileName = value; }
  // Always reads empty; writing queues the text as an AT command.
  std::string ATCommand() const { return {}; }
  void SetATCommand(const std::string& value);
  bool SpecialSymbols() const { return settings_.SpecialSymbols; }
  void SetSpecialSymbols(bool value) { settings_.SpecialSymbols = value; }
  const std::vector<std::string>& TxMessageParts() const { return txMessageParts_; }
  void SetTxMessageParts(const std::vector<std::string>& value);  // refused
  const std::string& SMSNumber() const { return smsNumber_; }
  // Stores the number normalised with PrefixForCountry (CheckNumberSyntax).
  void SetSMSNumber(const std::string& value);
  int SMSMergeMax() const { return settings_.SMSMergeMax; }
  void SetSMSMergeMax(int value);
  bool AutoConnect() const { return settings_.AutoConnect; }
  void SetAutoConnect(bool value) { settings_.AutoConnect = value; }
  int AutoConnectCNT() const { return settings_.AutoConnectCNT; }
  void SetAutoConnectCNT(int value) { settings_.AutoConnectCNT = value; }
  int ACTimerInterval() const { return settings_.ACTimerInterval; }
  void SetACTimerInterval(int value) { settings_.ACTimerInterval = value; }
  bool CheckPwrSig() const { return settings_.CheckPwrSig; }
  void SetCheckPwrSig(bool value);
  int CheckInterval() const { return settings_.CheckInterval; }
  void SetCheckInterval(int value);
  bool GetUnreaded() const { return settings_.GetUnreaded; }
  void SetGetUnreaded(bool value) { settings_.GetUnreaded = value; }
  const std::vector<std::string>& PhoneBook() const { return phoneBook_; }
  void SetPhoneBook(const std::vector<std::string>& value);  // refused
  int ATDelay() const { return settings_.ATDelay; }
  void SetATDelay(int value) { settings_.ATDelay = value; }
  int ATTimeout() const { return settings_.ATTimeout; }
  void SetATTimeout(int value);
  int SMSSIMCapacity() const { return smsSIMCapacity_; }
  int SMSPhoneCapacity() const { return smsPhoneCapacity_; }
  bool DeleteSMSafterRead() const { return settings_.DeleteSMSafterRead; }
  void SetDeleteSMSafterRead(bool value) { settings_.DeleteSMSafterRead = value; }
  bool CanCheckPower() const { return settings_.CanCheckPower; }
  void SetCanCheckPower(bool value) { settings_.CanCheckPower = value; }
  bool CanCheckSignal() const { return settings_.CanCheckSignal; }
  void SetCanCheckSignal(bool value) { settings_.CanCheckSignal = value; }
  const std::vector<std::string>& RecipientsTable() const { return settings_.RecipientsTable; }
  void SetRecipientsTable(const std::vector<std::string>& value) { settings_.RecipientsTable = value; }
  const std::vector<std::string>& RecipientsGroups() const { return settings_.RecipientsGroups; }
  void SetRecipientsGroups(const std::vector<std::string>& value) { settings_.RecipientsGroups = value; }
  const std::string& Recipient() const { return recipient_; }
  void SetRecipient(const std::string& value) { recipient_ = value; }
  char RecipientSepStart() const { return settings_.RecipientSepStart; }
  void SetRecipientSepStart(char value);
  char RecipientSepStop() const { return settings_.RecipientSepStop; }
  void SetRecipientSepStop(char value);
  bool CutCRLFfromText() const { return settings_.CutCRLFfromText; }
  void SetCutCRLFfromText(bool value) { settings_.CutCRLFfromText = value; }
  bool HangUpVoiceConnection() const { return settings_.HangUpVoiceConnection; }
  void SetHangUpVoiceConnection(bool value) { settings_.HangUpVoiceConnection = value; }
  int HangUpSignalCount() const { return settings_.HangUpSignalCount; }
  void SetHangUpSignalCount(int value) { settings_.HangUpSignalCount = value; }
  bool AutoModemINIT() const { return settings_.AutoModemINIT; }
  void SetAutoModemINIT(bool value) { settings_.AutoModemINIT = value; }
  bool EncodeSMS() const { return settings_.EncodeSMS; }
  void SetEncodeSMS(bool value) { settings_.EncodeSMS = value; }
  const std::string& EncodePIN() const { return settings_.EncodePIN; }
  void SetEncodePIN(const std::string& value) { settings_.EncodePIN = value; }
  bool DisableAutoRxSMS() const { return settings_.DisableAutoRxSMS; }
  void SetDisableAutoRxSMS(bool value) { settings_.DisableAutoRxSMS = value; }
  const std::vector<std::string>& PromoQuestions() const { return settings_.PromoQuestions; }
  void SetPromoQuestions(const std::vector<std::string>& value) { settings_.PromoQuestions = value; }
  bool CheckNumberSyntax() const { return settings_.CheckNumberSyntax; }
  void SetCheckNumberSyntax(bool value) { settings_.CheckNumberSyntax = value; }
  bool EnableCIEV() const { return settings_.EnableCIEV; }
  void SetEnableCIEV(bool value) { settings_.EnableCIEV = value; }
  bool CallBusy() const { return callBusy_; }
  bool SendOneSignal() const { return sendOneSignal_; }
  void SetSendOneSignal(bool value) { sendOneSignal_ = value; }

  // ---- Published events, in their declared order ----
  TNotifyEvent OnConnected;
  TNotifyEvent OnDisconnected;
  TNotifyEvent OnConnecting;
  TNotifyEvent OnGSMActivate;
  TNotifyEvent OnGSMDeActivate;
  TAfterComRx OnAfterComRx;
  TOnNewSMS OnNewSMS;
  TOnRing OnRing;
  TNotifyEvent OnQuietError;
  TAfterSendMessage OnAfterSend;
  TOnCheckSignalPower OnCheckSignalPower;
  TOnGetModelGSM OnGetModelGSM;
  TOnSendProgress OnSendProgress;
  TOnSearchProgress OnSearchProgress;
  TOnSecretSMS OnSecretSMS;
  TNotifyEvent OnSMSMemoryFull;
  TNotifyEvent OnGetPhoneBook;
  TOnNewQuestion OnNewQuestion;
  TOnCallBusy OnCallBusy;

  // ---- What the component has to tell the user ----
  // The component never shows a box itself. A misuse (a rejected property
  // value, a request it cannot carry out) is reported here with its text
  // (program text, Windows-1250), after which the stated fallback applies;
  // the window shows it in a message box, a console program prints it.
  TTextEvent OnMisuse;
  // A received PDU with a field the decoder could not read: "PDU ERROR
  // (<field>): <PDU>", once per field; the message is still delivered with
  // that field read as 0.
  TTextEvent OnPduError;

  // ---- Events of the typed send path ----
  // Every part that leaves the send queue through the engine, sent, failed
  // or refused, with its recipient as it was queued and, for a part not
  // sent, why. Raised on the main thread right before OnAfterSend, which
  // carries the same report in its argument slots.
  TOnPartReport OnPartReport;
  // The last moment before a part goes to the modem. Called on the ENGINE'S
  // thread, synchronously, right before "AT+CMGS=" of the part is written
  // (for every attempt, a retry included): nothing of the part reaches the
  // modem before it has returned. Returning false (or throwing) keeps the
  // part from going out: it is reported not sent, and so are the later parts
  // of its message. Set it while the component is inactive: the engine takes
  // a copy when it is started (Active := True). The function must not touch
  // the component nor wait for the main thread (which may be waiting for
  // the engine); it should be short, since the engine waits for it.
  TOnAboutToSubmit OnAboutToSubmit;

  // ---- Send requests ----
  // Queues SMSText for SMSNumber as message parts in the engine's send queue:
  // -1 when not connected, 0 when there is nothing to send, otherwise the
  // number of parts. Once connected, RefNum advances and is stored whatever
  // the outcome.
  int SendSMS();
  // Queues `message` as message parts: -1 when not connected, 0 when there
  // is nothing to send (or every part is done), otherwise the number of parts
  // queued. Every part carries message.recipient to its report. Once
  // connected, RefNum advances and is stored whatever the outcome, except for
  // a resumed message (message.concatReference): its parts carry that
  // reference, RefNum is left alone, and the parts in message.partsDone are
  // not queued. TxMessageParts shows the parts queued.
  int Send(const TOutgoingMessage& message);

  // ---- Public members ----
  // The running engine; null while inactive.
  TZoGSMThread* Engine() const { return engine_.get(); }
  // Serial ports of this machine, in natural order (the search, modem_search.h).
  const std::vector<std::string>& PortList() const;
  void RefreshComPorts();
  // Tries the ports of PortList one after the other until a modem answers;
  // progress and result through OnSearchProgress.
  void SearchModem();
  ModemSearch& Search() { return *search_; }
  // Message parts still waiting in the engine's send queue, as last reported.
  int QueueCount() const { return queueCount_; }
  void SetQueueCount(int value) { queueCount_ = value; }
  const platform::AnsiString& ErrorText() const { return errorText_; }
  void SetErrorText(const platform::AnsiString& value) { errorText_ = value; }
  bool SuppressAutoReconnect() const { return suppressAutoReconnect_; }
  void SetSuppressAutoReconnect(bool value) { suppressAutoReconnect_ = value; }
  bool UserDisconnect() const { return userDisconnect_; }
  void SetUserDisconnect(bool value) { userDisconnect_ = value; }
  std::uint8_t RefNum() const { return refNum_; }
  void SetRefNum(std::uint8_t value) { refNum_ = value; }
  // Folder of the program, with a trailing separator; holds "ReferenceNumbers.ini".
  const std::string& AppDir() const { return appDir_; }
  void SetAppDir(const std::string& value) { appDir_ = value; }
  bool Searching() const;
  // Drops the message parts waiting in the engine's send queue, unreported.
  void ClearSendQueue();
  // The capability records as the engine left them.
  CapabilityTable Capabilities() const { return capabilities_->Get(); }
  const TPhone& Phone() const { return phone_; }
  // Which modem (and SIM) the component is connected to: "IMEI" or
  // "IMEI/IMSI", read when the modem is identified after connecting; empty
  // before that, and from the start of every new connection.
  const std::string& ModemIdentity() const { return modemIdentity_; }
  // The identification of the present connection is over (ModemIdentity
  // holds what the modem told, empty when it told nothing). A modem is
  // Connected a moment before: a caller that names the modem by its
  // identity waits for this.
  bool Identified() const { return identified_; }
  // Upper indexes of the SIM and phone phonebooks, as the modem wrote them.
  const std::string& SIMPhoneBookIndex() const { return simPhoneBookIndex_; }
  const std::string& PhonePhoneBookIndex() const { return phonePhoneBookIndex_; }

  platform::Timer& ReconnectTimer() { return *reconnectTimer_; }
  platform::Timer& PollTimer() { return *pollTimer_; }
  platform::Timer& SearchTimer();

  // ---- Dispatchers: raise an event with its argument slots ----
  virtual void DoAfterComRx();
  virtual void DoNewSMS();
  virtual void DoRing();
  virtual void DoAfterSend();
  // OnPartReport, then OnAfterSend with the report in its argument slots.
  virtual void DoPartReport(const TPartReport& report);
  void DoPduError(const std::string& text);
  virtual void DoCheckSignalPower();
  virtual void DoGetModelGSM();
  virtual void DoSendProgress();
  virtual void DoSearchProgress();
  virtual void DoSecretSMS();
  virtual void DoNewQuestion();
  virtual void DoCallBusy();
  void DoConnected();
  void DoDisconnected();
  void DoConnecting();
  void DoGSMActivate();
  void DoGSMDeActivate();
  void DoSMSMemoryFull();
  void DoGetPhoneBook();
  // Raises OnQuietError, then writes the log line (MakeLog, LogFileName).
  void DoQuietError();

 private:
  friend class TZoGSMThread;
  friend class ModemSearch;

  // An engine left behind after a deactivation that could not wait for it.
  struct RetiredEngine {
    std::thread thread;
    std::shared_ptr<HandOver> handOver;
  };

  void StartEngine();
  void StopEngine();
  // Cuts the engine off and keeps its thread to be joined once it ends.
  void AbandonEngine();
  // What happens when the engine has ended: Engine null, Active False, OnGSMDeActivate.
  void ThreadTerminated();
  // Joins retired engines that have ended, waiting up to `milliseconds` for them.
  void JoinRetiredEngines(int milliseconds);
  void ReconnectTick();
  void PollTick();
  // OnMisuse with `text`.
  void ReportMisuse(const platform::AnsiString& text);
  // The current send request, from the properties.
  TOutgoingMessage CurrentMessage() const;
  // Splits `request` and shows its parts in TxMessageParts; a part that
  // cannot be encoded is reported as a misuse and leaves no parts
  // (nothing returned).
  std::optional<std::vector<TQueuedPart>> BuildMessageParts(const SplitRequest& request, std::uint8_t& reference);
  // Writes RefNum to the reference store; a failure is reported quietly.
  void StoreRefNum();

  platform::MainLoop& loop_;
  TZoGSMSettings settings_;
  bool active_ = false;
  bool connected_ = false;
  std::string smsText_;
  std::string smsMessageMarker_;
  std::string smsNumber_;
  std::vector<std::string> txMessageParts_;
  std::vector<std::string> phoneBook_;
  int smsSIMCapacity_ = 0;
  int smsPhoneCapacity_ = 0;
  std::string recipient_;
  bool callBusy_ = false;
  bool sendOneSignal_ = false;

  int queueCount_ = 0;
  platform::AnsiString errorText_;
  bool suppressAutoReconnect_ = true;
  bool userDisconnect_ = false;
  std::uint8_t refNum_ = 0;
  std::string appDir_;

  std::shared_ptr<SharedCapabilities> capabilities_;
  TPhone phone_;
  std::string simPhoneBookIndex_;
  std::string phonePhoneBookIndex_;

  std::unique_ptr<platform::Timer> reconnectTimer_;
  std::unique_ptr<platform::Timer> pollTimer_;
  std::unique_ptr<ModemSearch> search_;  // owns SearchTimer

  std::shared_ptr<TZoGSMThread> engine_;
  std::shared_ptr<HandOver> handOver_;
  std::thread engineThread_;
  std::vector<RetiredEngine> retiredEngines_;

  // ---- Event argument slots, written by the engine before a dispatcher runs ----
  std::vector<std::string> rxLinesCopy_;  // the list handed to OnAfterComRx
  std::string pdu_;
  std::string eventSMSText_;  // SMSText of OnNewSMS, OnNewQuestion, OnSecretSMS, OnAfterSend
  std::string telNr_;         // TelNr of OnNewSMS, Number of OnNewQuestion
  bool isUDH_ = false;
  TUDHinfo udhInfo_;
  std::string smsTimeStamp_;
  bool statusReport_ = false;
  std::string nrTel_;  // OnRing, OnAfterSend
  std::string eventMarker_;
  int sendingStatus_ = 0;
  int smsRef_ = -1;
  int smsPartNr_ = 0;
  int smsTotal_ = 0;
  bool waitReport_ = false;
  int signal_ = 0;
  bool acPower_ = false;
  int batteryStatus_ = 0;
  std::string stringSignal_;
  std::string model_;
  std::string imei_;
  std::string modemIdentity_;
  bool identified_ = false;
  std::string bios_;
  std::string from_;
  std::string promoQuestion_;
  TCallStatus callStatus_ = TCallStatus::noCall;
};

}  // namespace modem
