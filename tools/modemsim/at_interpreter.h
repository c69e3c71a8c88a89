#pragma once
// The command interpreter of the simulated modem: what a GSM modem answers to
// a command line (3GPP TS 27.007 and 27.005, PDU mode), without any I/O. The
// simulator feeds it lines and formats its replies for the line.

#include <map>
#include <string>
#include <vector>

namespace modemsim {

// The answer to one command line: the information text of each command (its
// lines separated by CR LF) and the final result code ("OK", "ERROR",
// "+CMS ERROR: 38", ...). `prompt` means the modem now
// waits for a message (AT+CMGS): it sends "> " instead of a final result.
struct Reply {
  std::vector<std::string> lines;
  std::string final = "OK";
  bool prompt = false;
};

// A message in one of the modem's memories. `status` as in PDU mode:
// 0 received unread, 1 received read, 2 stored unsent, 3 stored sent.
struct StoredMessage {
  int status = 0;
  std::string pdu;  // hexadecimal, with the leading SMSC octets
};

struct PhonebookEntry {
  std::string number;
  int type = 145;       // 145 international, 129 national
  std::string nameHex;  // UCS-2 in hexadecimal, as with AT+CSCS="UCS2"
};

struct Identity {
  std::string manufacturer = "TALVANE";
  std::string model = "MODEMSIM";
  std::string revision = "Revision 1.0";
  std::string imei = "351234567890125";
  std::string imsi = "260011234567890";
  std::string ownNumber = "+48600000000";
};

class AtInterpreter {
 public:
  AtInterpreter();

  // Executes a command line ("AT..." without its CR).
  Reply ExecuteLine(const std::string& line);
  // The text typed after the "> " prompt, ended by Ctrl-Z.
  Reply Submit(const std::string& text);
  // The prompt ended by Escape: the message is dropped.
  Reply CancelSubmission();

  // Settings the line formatting depends on.
  bool Echo() const { return echo_; }
  bool Verbose() const { return verbose_; }
  bool Quiet() const { return quiet_; }

  // A message arriving from the network. In indication mode 1 of AT+CNMI it
  // is stored (returns the indication "+CMTI: ..."); in mode 2 it is handed
  // over directly (returns "+CMT: ,<length>" and the PDU on a second line);
  // otherwise it is stored silently and the result is empty.
  std::vector<std::string> ReceiveMessage(const std::string& pdu);

  // The test's hands on the modem's state.
  void SetSignal(int rssi, int ber) { rssi_ = rssi, ber_ = ber; }
  void SetBattery(int status, int charge) { batteryStatus_ = status, batteryCharge_ = charge; }
  void SetIdentity(const Identity& identity) { identity_ = identity; }
  const Identity& GetIdentity() const { return identity_; }
  int StoreMessage(const std::string& memory, const StoredMessage& message);  // index, -1 when full
  std::map<int, StoredMessage> Messages(const std::string& memory) const;
  void SetMemoryCapacity(const std::string& memory, int capacity);  // "SM" 20 and "ME" 100 at first
  void SetPhonebookEntry(const std::string& memory, int index, const PhonebookEntry& entry);
  void SetNextReference(int reference) { nextReference_ = reference & 0xFF; }
  int NextReference() const { return nextReference_; }
  std::vector<std::string> SubmittedPdus() const { return submitted_; }

  // ---- The network's side (incoming_events.cpp) ----
  // The status report of a sent message: "+CDS: <length>" and the report's
  // PDU when AT+CNMI's fourth value is 1; stored, with "+CDSI: <mem>,<index>",
  // when it is 2; nothing otherwise. The message is the one sent with that
  // reference whose submission asked for a report; without one, a report
  // for `recipient` (a message sent before the modem was restarted); empty
  // when neither is there.
  std::vector<std::string> StatusReport(int reference, int status, const std::string& recipient = {});
  // References of sent messages that asked for a report and have none yet.
  std::vector<int> ReportsWanted() const;
  // An incoming call rings once: "RING", and "+CLIP: ..." after AT+CLIP=1
  // (an empty number for a withheld one). ATH and AT+CHUP end the call.
  std::vector<std::string> Ring(const std::string& number);
  bool CallRinging() const { return callRinging_; }
  int HangUps() const { return hangUps_; }
  // An indicator event "+CIEV: <index>,<value>", reported after
  // AT+CMER=<mode>,..,..,<ind> with mode and ind not 0.
  std::vector<std::string> Indicator(int index, int value);

 private:
  struct Memory {
    int capacity;
    std::map<int, StoredMessage> messages;
  };
  struct Phonebook {
    int size;
    std::map<int, PhonebookEntry> entries;
  };
  enum class Form { Action, Read, Test, Set };  // NAME, NAME?, NAME=?, NAME=args

  void Reset();
  // One basic (E0, &F) or extended (+CSQ=?) command; false ends the line.
  bool ExecuteBasic(char name, const std::string& argument, Reply& reply);
  bool ExecuteExtended(const std::string& command, Reply& reply);
  bool Identification(const std::string& name, Form form, Reply& reply);
  bool Settings(const std::string& name, Form form, const std::vector<std::string>& args, Reply& reply);
  bool Status(const std::string& name, Form form, Reply& reply);
  bool MessageStorage(const std::string& name, Form form, const std::vector<std::string>& args, Reply& reply);
  bool Phonebooks(const std::string& name, Form form, const std::vector<std::string>& args, Reply& reply);
  bool StartSubmission(Form form, const std::vector<std::string>& args, Reply& reply);
  // Character set, functionality, registration, service centre and the
  // other everyday settings (common_commands.cpp).
  bool CommonCommands(const std::string& name, Form form, const std::vector<std::string>& args, Reply& reply);
  void ResetCommonSettings();
  Memory* FindMemory(const std::string& name);
  std::string StorageCounts() const;

  // incoming_events.cpp: a message sent (AT+CMGS), and the end of a call.
  void NoteSent(int reference, const std::string& pdu);
  void EndCall();
  struct SentMessage {
    int reference;
    std::string pdu;
    bool reportWanted;
  };
  std::vector<SentMessage> sent_;
  bool callRinging_ = false;
  int hangUps_ = 0;

  Identity identity_;
  bool echo_ = true;
  bool verbose_ = true;
  bool quiet_ = false;
  int errorMode_ = 0;  // AT+CMEE
  int messageFormat_ = 0;  // AT+CMGF: 0 PDU, 1 text
  std::vector<int> indications_;  // AT+CNMI
  int clip_ = 0;
  int cmms_ = 0;
  std::string cmer_;
  int rssi_ = 17, ber_ = 99;
  int batteryStatus_ = 0, batteryCharge_ = 85;
  std::map<std::string, Memory> memories_;
  std::string readMemory_ = "SM", writeMemory_ = "SM", receiveMemory_ = "SM";
  std::map<std::string, Phonebook> phonebooks_;
  std::string phonebook_ = "SM";
  int pendingLength_ = -1;  // TPDU length announced by AT+CMGS
  int nextReference_ = 0;
  std::vector<std::string> submitted_;
  struct CommonSettings {
    std::string charset = "UCS2";
    int functionality = 1;
    int registrationMode = 0;
    std::string serviceCentre = "+48601000310";
    int serviceCentreType = 145;
    int messageService = 0;
    std::string textParameters = "17,167,0,0";
    int showTextHeader = 0;
  } common_;
};

// The TPDU length of a PDU whose first octet is the SMSC information length;
// -1 when the text is not such a PDU.
int TpduLength(const std::string& pdu);

}  // namespace modemsim
