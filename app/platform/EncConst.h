#pragma once

#include <string>

namespace EncConst {

// Protects the protected files and the log messages. DES uses its first 8 bytes.
extern const char LOCAL_KEY[];

// The service's RSA public key in PEM form, deciphered from the copy held in
// the program on first use and kept for the rest of the run.
std::string PUBKEY();

} // namespace EncConst
