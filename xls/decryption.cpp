#include "xls/decryption.h"

#include <nettle/arcfour.h>
#include <nettle/md5.h>
#include <nettle/sha1.h>

#include <array>

namespace xls {

namespace {

constexpr std::size_t kRc4BlockSize = 1024;
constexpr std::size_t kXorPasswordMax = 15;
constexpr std::uint16_t kRc4Major = 1;  // RC4 with MD5 keys
constexpr std::size_t kRc4Md5FilePassSize = 2 + 4 + 16 + 16 + 16;

// ---- XOR obfuscation ----------------------------------------------------

constexpr std::array<std::uint16_t, 15> kInitialCode = {0xE1F0, 0x1D0F, 0xCC9C, 0x84C0, 0x110C, 0x0E10, 0xF1CE, 0x313E,
                                                        0x1872, 0xE139, 0xD40F, 0x84F9, 0x280C, 0xA96A, 0x4EC3};
constexpr std::array<std::uint16_t, 105> kXorMatrix = {
    0xAEFC, 0x4DD9, 0x9BB2, 0x2745, 0x4E8A, 0x9D14, 0x2A09, 0x7B61, 0xF6C2, 0xFDA5, 0xEB6B, 0xC6F7, 0x9DCF, 0x2BBF,
    0x4563, 0x8AC6, 0x05AD, 0x0B5A, 0x16B4, 0x2D68, 0x5AD0, 0x0375, 0x06EA, 0x0DD4, 0x1BA8, 0x3750, 0x6EA0, 0xDD40,
    0xD849, 0xA0B3, 0x5147, 0xA28E, 0x553D, 0xAA7A, 0x44D5, 0x6F45, 0xDE8A, 0xAD35, 0x4A4B, 0x9496, 0x390D, 0x721A,
    0xEB23, 0xC667, 0x9CEF, 0x29FF, 0x53FE, 0xA7FC, 0x5FD9, 0x47D3, 0x8FA6, 0x0F6D, 0x1EDA, 0x3DB4, 0x7B68, 0xF6D0,
    0xB861, 0x60E3, 0xC1C6, 0x93AD, 0x377B, 0x6EF6, 0xDDEC, 0x45A0, 0x8B40, 0x06A1, 0x0D42, 0x1A84, 0x3508, 0x6A10,
    0xAA51, 0x4483, 0x8906, 0x022D, 0x045A, 0x08B4, 0x1168, 0x76B4, 0xED68, 0xCAF1, 0x85C3, 0x1BA7, 0x374E, 0x6E9C,
    0x3730, 0x6E60, 0xDCC0, 0xA9A1, 0x4363, 0x86C6, 0x1DAD, 0x3331, 0x6662, 0xCCC4, 0x89A9, 0x0373, 0x06E6, 0x0DCC,
    0x1021, 0x2042, 0x4084, 0x8108, 0x1231, 0x2462, 0x48C4};
constexpr std::array<std::uint8_t, 15> kPadArray = {0xBB, 0xFF, 0xFF, 0xBA, 0xFF, 0xFF, 0xB9, 0x80,
                                                    0x00, 0xBE, 0x0F, 0x00, 0xBF, 0x0F, 0x00};

// The password as the XOR method takes it: one byte per character, the low
// byte unless it is 0, else the high byte; at most 15 of them.
std::vector<std::uint8_t> PasswordBytes(std::u16string_view password) {
  std::vector<std::uint8_t> bytes;
  for (char16_t c : password.substr(0, kXorPasswordMax)) {
    const auto low = static_cast<std::uint8_t>(c & 0xFF);
    bytes.push_back(low != 0 ? low : static_cast<std::uint8_t>(c >> 8));
  }
  return bytes;
}

std::uint8_t RotateRight(std::uint8_t value, int bits) {
  return static_cast<std::uint8_t>((value >> bits) | (value << (8 - bits)));
}

std::uint8_t XorRor(std::uint8_t a, std::uint8_t b) { return RotateRight(static_cast<std::uint8_t>(a ^ b), 1); }

// ---- RC4 -------------------------------------------------------------------

std::vector<std::uint8_t> Utf16Bytes(std::u16string_view text) {
  std::vector<std::uint8_t> bytes;
  bytes.reserve(text.size() * 2);
  for (char16_t c : text) {
    bytes.push_back(static_cast<std::uint8_t>(c));
    bytes.push_back(static_cast<std::uint8_t>(c >> 8));
  }
  return bytes;
}

std::array<std::uint8_t, MD5_DIGEST_SIZE> Md5(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b = {}) {
  md5_ctx ctx;
  md5_init(&ctx);
  md5_update(&ctx, a.size(), a.data());
  md5_update(&ctx, b.size(), b.data());
  std::array<std::uint8_t, MD5_DIGEST_SIZE> digest{};
  md5_digest(&ctx, digest.size(), digest.data());
  return digest;
}

std::array<std::uint8_t, SHA1_DIGEST_SIZE> Sha1(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b = {}) {
  sha1_ctx ctx;
  sha1_init(&ctx);
  sha1_update(&ctx, a.size(), a.data());
  sha1_update(&ctx, b.size(), b.data());
  std::array<std::uint8_t, SHA1_DIGEST_SIZE> digest{};
  sha1_digest(&ctx, digest.size(), digest.data());
  return digest;
}

std::array<std::uint8_t, 4> LittleEndian32(std::uint32_t value) {
  return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
          static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
}

}  // namespace

// ---- TXLSDecrypterXOR --------------------------------------------------------

std::uint16_t TXLSDecrypterXOR::PasswordVerifier(std::u16string_view password) {
  std::vector<std::uint8_t> bytes = PasswordBytes(password);
  bytes.insert(bytes.begin(), static_cast<std::uint8_t>(bytes.size()));
  std::uint16_t verifier = 0;
  for (auto it = bytes.rbegin(); it != bytes.rend(); ++it) {
    const std::uint16_t carry = (verifier & 0x4000) ? 1 : 0;
    const auto shifted = static_cast<std::uint16_t>((verifier << 1) & 0x7FFF);
    verifier = static_cast<std::uint16_t>((carry | shifted) ^ *it);
  }
  return static_cast<std::uint16_t>(verifier ^ 0xCE4B);
}

std::uint16_t TXLSDecrypterXOR::PasswordKey(std::u16string_view password) {
  const std::vector<std::uint8_t> bytes = PasswordBytes(password);
  if (bytes.empty()) return 0;
  std::uint16_t key = kInitialCode[bytes.size() - 1];
  std::size_t element = kXorMatrix.size() - 1;
  for (auto it = bytes.rbegin(); it != bytes.rend(); ++it) {
    std::uint8_t c = *it;
    for (int bit = 0; bit < 7; ++bit, --element) {
      if (c & 0x40) key ^= kXorMatrix[element];
      c = static_cast<std::uint8_t>(c << 1);
    }
  }
  return key;
}

namespace {
std::vector<std::uint8_t> BuildXorArray(const std::vector<std::uint8_t>& password, std::uint16_t key) {
  const auto high = static_cast<std::uint8_t>(key >> 8);
  const auto low = static_cast<std::uint8_t>(key & 0xFF);
  std::vector<std::uint8_t> array(16, 0);
  // Even positions take the key's low byte, odd ones its high byte; the
  // password fills the front and the pad bytes the rest.
  for (std::size_t i = 0; i < 16; ++i) {
    const std::uint8_t source = i < password.size() ? password[i] : kPadArray[i - password.size()];
    array[i] = XorRor(source, (i & 1) ? high : low);
  }
  return array;
}
}  // namespace

std::vector<std::uint8_t> TXLSDecrypterXOR::XorArray(std::u16string_view password) {
  return BuildXorArray(PasswordBytes(password), PasswordKey(password));
}

TXLSDecrypterXOR::TXLSDecrypterXOR(std::u16string_view password, std::uint16_t key, std::uint16_t verifier) {
  if (password.size() > kXorPasswordMax || PasswordVerifier(password) != verifier) return;
  xorArray_ = BuildXorArray(PasswordBytes(password), key);
  valid_ = true;
}

void TXLSDecrypterXOR::Decrypt(std::span<std::uint8_t> data, std::size_t streamOffset, std::size_t bodySize) {
  if (!valid_) return;
  // The array position of a byte counts from the end of its record body.
  for (std::size_t i = 0; i < data.size(); ++i) {
    const std::uint8_t mixed = data[i] ^ xorArray_[(streamOffset + i + bodySize) & 0x0F];
    data[i] = RotateRight(mixed, 5);
  }
}

// ---- TXLSDecrypterRC4 ----------------------------------------------------------

struct TXLSDecrypterRC4::Cipher {
  arcfour_ctx ctx;
};

TXLSDecrypterRC4::TXLSDecrypterRC4(KeyKind kind, std::u16string_view password, std::vector<std::uint8_t> salt,
                                   int keyBits)
    : kind_(kind), keyBits_(keyBits), cipher_(std::make_unique<Cipher>()) {
  const std::vector<std::uint8_t> passwordBytes = Utf16Bytes(password);
  if (kind_ == KeyKind::Md5) {
    // MD5 of the password, its first 5 bytes and the salt repeated 16 times,
    // MD5 of that: its first 5 bytes are the base of every block key.
    const auto h0 = Md5(passwordBytes);
    std::vector<std::uint8_t> buffer;
    for (int i = 0; i < 16; ++i) {
      buffer.insert(buffer.end(), h0.begin(), h0.begin() + 5);
      buffer.insert(buffer.end(), salt.begin(), salt.end());
    }
    const auto h1 = Md5(buffer);
    baseHash_.assign(h1.begin(), h1.begin() + 5);
  } else {
    const auto h0 = Sha1(salt, passwordBytes);
    baseHash_.assign(h0.begin(), h0.end());
  }
}

TXLSDecrypterRC4::~TXLSDecrypterRC4() = default;

void TXLSDecrypterRC4::StartBlock(std::uint32_t block) {
  const auto number = LittleEndian32(block);
  std::array<std::uint8_t, 16> key{};
  std::size_t keyLength = 16;
  if (kind_ == KeyKind::Md5) {
    const auto hash = Md5(baseHash_, number);
    std::copy(hash.begin(), hash.end(), key.begin());
  } else {
    const auto hash = Sha1(baseHash_, number);
    // A 40-bit key is used as 128 bits with zeros after its 5 bytes.
    const std::size_t bytes = keyBits_ <= 40 ? 5 : std::min<std::size_t>(static_cast<std::size_t>(keyBits_) / 8, 16);
    std::copy(hash.begin(), hash.begin() + static_cast<std::ptrdiff_t>(bytes), key.begin());
    keyLength = keyBits_ <= 40 ? 16 : bytes;
  }
  arcfour_set_key(&cipher_->ctx, keyLength, key.data());
  block_ = block;
  blockPosition_ = 0;
  started_ = true;
}

bool TXLSDecrypterRC4::Verify(std::span<const std::uint8_t> encryptedVerifier,
                              std::span<const std::uint8_t> encryptedHash) {
  StartBlock(0);
  std::vector<std::uint8_t> verifier(encryptedVerifier.begin(), encryptedVerifier.end());
  std::vector<std::uint8_t> hash(encryptedHash.begin(), encryptedHash.end());
  arcfour_crypt(&cipher_->ctx, verifier.size(), verifier.data(), verifier.data());
  arcfour_crypt(&cipher_->ctx, hash.size(), hash.data(), hash.data());
  started_ = false;
  if (kind_ == KeyKind::Md5) {
    const auto expected = Md5(verifier);
    return hash.size() >= expected.size() && std::equal(expected.begin(), expected.end(), hash.begin());
  }
  const auto expected = Sha1(verifier);
  return hash.size() >= expected.size() && std::equal(expected.begin(), expected.end(), hash.begin());
}

void TXLSDecrypterRC4::Decrypt(std::span<std::uint8_t> data, std::size_t streamOffset, std::size_t /*bodySize*/) {
  std::array<std::uint8_t, 256> skip{};
  std::size_t done = 0;
  while (done < data.size()) {
    const std::size_t position = streamOffset + done;
    const auto block = static_cast<std::uint32_t>(position / kRc4BlockSize);
    const std::size_t inBlock = position % kRc4BlockSize;
    if (!started_ || block != block_ || inBlock < blockPosition_) StartBlock(block);
    // The key stream runs on through record headers and unencrypted bytes.
    while (blockPosition_ < inBlock) {
      const std::size_t step = std::min(skip.size(), inBlock - blockPosition_);
      arcfour_crypt(&cipher_->ctx, step, skip.data(), skip.data());
      blockPosition_ += step;
    }
    const std::size_t step = std::min(data.size() - done, kRc4BlockSize - inBlock);
    arcfour_crypt(&cipher_->ctx, step, data.data() + done, data.data() + done);
    blockPosition_ += step;
    done += step;
  }
}

// ---- FILEPASS ------------------------------------------------------------------

namespace {

constexpr std::uint16_t kTypeXor = 0;
constexpr std::uint16_t kTypeRc4 = 1;

// The CryptoAPI form: version, header flags, header size, header, verifier.
std::unique_ptr<TXLSDecrypterRC4> CryptoApiDecrypter(const TXLSBody& body, std::u16string_view password, int& result) {
  const std::size_t headerSizeAt = 2 + 4 + 4;
  if (!body.Has(headerSizeAt, 4)) return result = kFilePassTooShort, nullptr;
  const std::uint32_t headerSize = body.U32(headerSizeAt);
  const std::size_t header = headerSizeAt + 4;
  if (headerSize < 32 || !body.Has(header, headerSize)) return result = kFilePassTooShort, nullptr;
  const int keyBits = static_cast<int>(body.U32(header + 16));
  const std::size_t verifier = header + headerSize;
  if (!body.Has(verifier, 4)) return result = kFilePassTooShort, nullptr;
  const std::uint32_t saltSize = body.U32(verifier);
  if (saltSize != 16 || !body.Has(verifier + 4, 16 + 16 + 4 + 20)) return result = kFilePassTooShort, nullptr;
  const auto salt = body.Slice(verifier + 4, 16);
  const auto encryptedVerifier = body.Slice(verifier + 20, 16);
  const auto encryptedHash = body.Slice(verifier + 40, 20);
  auto decrypter = std::make_unique<TXLSDecrypterRC4>(TXLSDecrypterRC4::KeyKind::CryptoApiSha1, password,
                                                      std::vector<std::uint8_t>(salt.begin(), salt.end()),
                                                      keyBits == 0 ? 40 : keyBits);
  result = decrypter->Verify(encryptedVerifier, encryptedHash) ? 1 : kFilePassWrongPassword;
  return decrypter;
}

std::unique_ptr<TXLSDecrypter> TryPassword(const TXLSBody& body, bool biff8, std::u16string_view password,
                                           int& result) {
  const bool xorWithoutType = !biff8 || body.Size() == 4;
  if (xorWithoutType || body.U16(0) == kTypeXor) {
    const std::size_t at = xorWithoutType ? 0 : 2;
    if (!body.Has(at, 4)) return result = kFilePassTooShort, nullptr;
    auto decrypter = std::make_unique<TXLSDecrypterXOR>(password, body.U16(at), body.U16(at + 2));
    result = decrypter->Valid() ? 1 : kFilePassWrongPassword;
    return decrypter;
  }
  if (body.U16(0) != kTypeRc4) return result = kFilePassUnknownType, nullptr;
  const std::uint16_t major = body.U16(2);
  if (major >= 2 && major <= 4) return CryptoApiDecrypter(body, password, result);
  if (major != kRc4Major) return result = kFilePassUnknownType, nullptr;
  if (!body.Has(0, kRc4Md5FilePassSize)) return result = kFilePassTooShort, nullptr;
  const auto salt = body.Slice(6, 16);
  auto decrypter = std::make_unique<TXLSDecrypterRC4>(TXLSDecrypterRC4::KeyKind::Md5, password,
                                                      std::vector<std::uint8_t>(salt.begin(), salt.end()), 128);
  result = decrypter->Verify(body.Slice(22, 16), body.Slice(38, 16)) ? 1 : kFilePassWrongPassword;
  return decrypter;
}

}  // namespace

std::unique_ptr<TXLSDecrypter> CreateDecrypter(const TXLSBody& filePass, bool biff8, std::u16string_view password,
                                               int& result) {
  if (filePass.Size() <= 1) return result = kFilePassTooShort, nullptr;
  auto decrypter = TryPassword(filePass, biff8, kDefaultPassword, result);
  if (result != kFilePassWrongPassword) return result == 1 ? std::move(decrypter) : nullptr;
  if (password.empty()) return result = kFilePassNeedsPassword, nullptr;
  if (password.size() > kMaxPasswordLength) return result = kFilePassPasswordTooLong, nullptr;
  decrypter = TryPassword(filePass, biff8, password, result);
  return result == 1 ? std::move(decrypter) : nullptr;
}

}  // namespace xls
