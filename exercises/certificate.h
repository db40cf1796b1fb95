// The certificate for the child after a run: the dialogue asking for the first name, and the
// document (program, task file, duration, every task under "OK" or "Probleme bei:", praise, date
// and signature lines) written into the printer text file and printed.
#pragma once

#include <vector>

#include "console/console.h"
#include "support/codepage.h"

namespace radevir {

struct Session;

// What one certificate shows.
struct CertificateFacts {
    Bytes childFirstName;
    Bytes programName;   // may hold a line end (the reading test adds its times below)
    Bytes taskFileName;  // "ohne Namen" when the list came from no file
    int seconds = 0;
    int wrongCount = 0;
    std::vector<Bytes> taskHistory;  // one entry per task worked, in order
    Console::Today date;
};

// The name shown for the program that ran, as the certificate prints it.
Bytes CertificateProgramName(const Session& session);
// The facts of the run just ended (the run stopwatch must already be stopped).
CertificateFacts CertificateFactsOf(const Session& session, const Bytes& childFirstName);
// The printer text of `copies` certificates, one after the other.
Bytes CertificateDocument(const CertificateFacts& facts, int copies);
// A task history entry as the certificate prints it: lower-case letters left out; after a "_"
// the next character that is no lower-case letter is left out as well.
Bytes CertificateTaskLine(std::string_view historyEntry);

// The name of the printed certificate: "Zeugnis", the child's first name when one was typed
// (as the certificate shows it) and the date ("Zeugnis Lea 2026-12-11").
Bytes CertificateDocumentName(const CertificateFacts& facts);

// One key in the name field.
struct NameFieldStep {
    enum class End { None, Print, PrintTwice, Cancel };
    Bytes name;
    bool bell = false;  // the name was full
    End end = End::None;
};
NameFieldStep NameFieldKey(Bytes name, unsigned char key, bool extended);

// After a run of more than three tasks: asks for the first name (kept in
// session.childFirstName) and prints the certificate, once or twice.
void OfferCertificate(Session& session);

}  // namespace radevir
