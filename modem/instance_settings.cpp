#include "modem/instance_settings.h"

#include "modem/zogsm.h"

namespace modem {

void ApplyWorkingInstanceSettings(TZoGSM& gsm) {
  gsm.SetInstanceName("Talvane");
  gsm.SetComPort("COM6");  // the saved port replaces it at start
  gsm.SetBaudRate("115200");
  gsm.SetInitStrings({"AT&F", "ATE0", "AT+CMGF=0"});
  gsm.SetPrefixForCountry("+48");
  gsm.SetResetCMD("AT&F");
  gsm.SetDisableIncomingSMS(true);
  gsm.SetSMSMergeMax(10);
  gsm.SetGetUnreaded(false);
  gsm.SetRecipientSepStart('=');
  gsm.SetRecipientSepStop('.');
  gsm.SetHangUpSignalCount(0);
  gsm.SetCheckNumberSyntax(false);
  gsm.SetEnableCIEV(false);
}

void ApplyPartCounterSettings(TZoGSM& gsm) {
  gsm.SetInstanceName("TalvanePartCounter");  // never sends, so the name is not used
  gsm.SetComPort("COM6");
  gsm.SetBaudRate("115200");
  gsm.SetInitStrings({"AT&F", "ATE0", "AT+CMGF=0", "AT+CNMI=2,2,0,1,1", "AT+CLIP=1"});
  gsm.SetPrefixForCountry("+48");
  gsm.SetResetCMD("AT&F");
  gsm.SetSMSReport(true);
  gsm.SetSMSMergeMax(20);
  gsm.SetDeleteSMSafterRead(true);
  gsm.SetRecipientSepStart('=');
  gsm.SetRecipientSepStop('.');
  gsm.SetHangUpSignalCount(0);
  gsm.SetDisableAutoRxSMS(false);
  gsm.SetCheckNumberSyntax(false);
}

}  // namespace modem
