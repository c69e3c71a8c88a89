#pragma once
// Decryption of password-protected BIFF files (FILEPASS), as the published
// BIFF8 encryption defines it: XOR obfuscation (`TXLSDecrypterXOR`), RC4 with
// MD5 keys (`TXLSDecrypterRC4`) and RC4 with SHA-1 keys as the CryptoAPI
// variant writes them (`TXLSDecrypterRC4CryptoApi`).
//
// Record headers are never encrypted; the bodies are, byte by byte at their
// position in the workbook stream, so a decrypter is told where each body
// begins. The format's default password ("VelvetSweatshop", which spreadsheet
// programs use for workbooks that are only write-protected) is tried first.
//
// Threads: one workbook read or save, on the caller's thread; no shared state.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "xls/biff_read_body.h"
#include "xls/result_codes.h"

namespace xls {

inline constexpr std::u16string_view kDefaultPassword = u"VelvetSweatshop";
inline constexpr std::size_t kMaxPasswordLength = 31;

class TXLSDecrypter {
 public:
  virtual ~TXLSDecrypter() = default;
  // Decrypts `data` in place. `streamOffset` is where data[0] stands in the
  // workbook stream; `bodySize` is the length of the whole record body.
  virtual void Decrypt(std::span<std::uint8_t> data, std::size_t streamOffset, std::size_t bodySize) = 0;
};

// XOR obfuscation with a password of at most 15 characters.
class TXLSDecrypterXOR : public TXLSDecrypter {
 public:
  // Builds the obfuscation array when the password matches the key and the
  // verifier of the FILEPASS record; Valid() tells.
  TXLSDecrypterXOR(std::u16string_view password, std::uint16_t key, std::uint16_t verifier);
  bool Valid() const { return valid_; }
  void Decrypt(std::span<std::uint8_t> data, std::size_t streamOffset, std::size_t bodySize) override;

  // The 16-bit key and verifier that the format derives from a password.
  static std::uint16_t PasswordKey(std::u16string_view password);
  static std::uint16_t PasswordVerifier(std::u16string_view password);
  // The 16-byte obfuscation array of a password.
  static std::vector<std::uint8_t> XorArray(std::u16string_view password);

 private:
  bool valid_ = false;
  std::vector<std::uint8_t> xorArray_;
};

// RC4 in blocks of 1024 stream bytes, each with its own key derived from the
// password and the block number.
class TXLSDecrypterRC4 : public TXLSDecrypter {
 public:
  enum class KeyKind { Md5, CryptoApiSha1 };
  // For KeyKind::Md5 the salt is 16 bytes and keyBits 128; CryptoAPI files
  // give their salt and key length (40 to 128 bits).
  TXLSDecrypterRC4(KeyKind kind, std::u16string_view password, std::vector<std::uint8_t> salt, int keyBits);
  ~TXLSDecrypterRC4() override;

  // Checks the password against the encrypted verifier and its hash.
  bool Verify(std::span<const std::uint8_t> encryptedVerifier, std::span<const std::uint8_t> encryptedHash);
  void Decrypt(std::span<std::uint8_t> data, std::size_t streamOffset, std::size_t bodySize) override;

  // Encrypts (the same operation): for building test files.
  void Crypt(std::span<std::uint8_t> data, std::size_t streamOffset) { Decrypt(data, streamOffset, data.size()); }

 private:
  struct Cipher;
  void StartBlock(std::uint32_t block);

  KeyKind kind_;
  int keyBits_;
  std::vector<std::uint8_t> baseHash_;  // the password hash the block keys derive from
  std::unique_ptr<Cipher> cipher_;
  std::uint32_t block_ = 0;
  std::size_t blockPosition_ = 0;  // keystream bytes used in the current block
  bool started_ = false;
};

// Reads a FILEPASS body and sets up the decrypter: the default password is
// tried first, then `password` when one is given. `result` receives 1 or one
// of the codes above.
std::unique_ptr<TXLSDecrypter> CreateDecrypter(const TXLSBody& filePass, bool biff8, std::u16string_view password,
                                               int& result);

}  // namespace xls
