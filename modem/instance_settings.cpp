#include "modem/instance_settings.h"

#include "modem/zogsm.h"
#include "modem/zogsm_settings.h"

namespace modem {

void ApplyWorkingInstanceSettings(TZoGSM& gsm) {
  gsm.SetInstanceName("Talvane");
  gsm.SetComPort("COM6");  // the saved port replaces it at start
  gsm.SetBaudRate("115200");
  gsm.SetInitStrings({"AT&F", "ATE0", "AT+CMGF=0"});
  gsm.SetPrefixForCountry(kCountryPrefix);
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

}  // namespace modem
