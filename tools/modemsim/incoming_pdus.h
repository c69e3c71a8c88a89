#pragma once
// PDUs the simulated modem makes up on the network's behalf: the status
// report of a message it sent.

#include <ctime>
#include <string>

namespace modemsim {

// The address field (length, type, swapped digits) of a number: "+" in front
// makes it international (type 91), otherwise national digits (type 81).
std::string AddressField(const std::string& number);

// The destination address field of an SMS-SUBMIT PDU (SMSC information
// first); empty when the PDU is too short to hold one.
std::string DestinationField(const std::string& submitPdu);

// An SMS-STATUS-REPORT PDU, SMSC information first: the message with
// `reference` sent to the address `recipientField`, given to the service
// centre at `submitted` and delivered (or given up) at `discharged`, both UTC.
std::string StatusReportPdu(int reference, const std::string& recipientField, int status, const std::tm& submitted,
                            const std::tm& discharged);

}  // namespace modemsim
