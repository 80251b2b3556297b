#include "core/transport/portable/RsaPublicKey.h"

#include <openssl/bio.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rsa.h>

#include <cstring>
#include <memory>

namespace {

struct PkeyFree {
  void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
struct PkeyContextFree {
  void operator()(EVP_PKEY_CTX* context) const { EVP_PKEY_CTX_free(context); }
};
using OwnedKey = std::unique_ptr<EVP_PKEY, PkeyFree>;
using OwnedKeyContext = std::unique_ptr<EVP_PKEY_CTX, PkeyContextFree>;

OwnedKey ReadRsaPublicKey(const std::string& pem) {
  if (pem.empty()) return nullptr;
  BIO* bio = BIO_new_mem_buf(pem.data(), static_cast<int>(pem.size()));
  if (bio == nullptr) return nullptr;
  OwnedKey key(PEM_read_bio_PUBKEY(bio, nullptr, nullptr, nullptr));
  BIO_free(bio);
  if (key && EVP_PKEY_get_base_id(key.get()) != EVP_PKEY_RSA) key.reset();
  return key;
}

OwnedKeyContext MakeContext(EVP_PKEY* key, int (*init)(EVP_PKEY_CTX*)) {
  OwnedKeyContext context(EVP_PKEY_CTX_new(key, nullptr));
  if (!context || init(context.get()) <= 0 ||
      EVP_PKEY_CTX_set_rsa_padding(context.get(), RSA_PKCS1_PADDING) <= 0) {
    return nullptr;
  }
  return context;
}

}  // namespace

size_t RsaPublicKeySize(const std::string& pem) {
  OwnedKey key = ReadRsaPublicKey(pem);
  if (!key) return 0;
  const int size = EVP_PKEY_get_size(key.get());
  return size > 0 ? static_cast<size_t>(size) : 0;
}

bool RsaPublicEncrypt(const std::string& pem, const uint8_t* data, size_t length, std::vector<uint8_t>& block) {
  OwnedKey key = ReadRsaPublicKey(pem);
  if (!key) return false;
  OwnedKeyContext context = MakeContext(key.get(), EVP_PKEY_encrypt_init);
  if (!context) return false;
  size_t size = 0;
  if (EVP_PKEY_encrypt(context.get(), nullptr, &size, data, length) <= 0) return false;
  std::vector<uint8_t> result(size);
  if (EVP_PKEY_encrypt(context.get(), result.data(), &size, data, length) <= 0) return false;
  result.resize(size);
  block.swap(result);
  return true;
}

bool RsaPublicDecrypt(const std::string& pem, const uint8_t* block, size_t blockLength, uint8_t* out,
                      size_t& outLength) {
  OwnedKey key = ReadRsaPublicKey(pem);
  if (!key || block == nullptr) return false;
  const int keySize = EVP_PKEY_get_size(key.get());
  if (keySize <= 0 || blockLength != static_cast<size_t>(keySize)) return false;
  // Public-key "decryption" of a private-key block is signature recovery
  // without a digest; the library may write up to the key's size, so it
  // writes into a buffer of that size, never into the caller's directly.
  OwnedKeyContext context = MakeContext(key.get(), EVP_PKEY_verify_recover_init);
  if (!context) return false;
  std::vector<uint8_t> plain(static_cast<size_t>(keySize));
  size_t plainLength = plain.size();
  if (EVP_PKEY_verify_recover(context.get(), plain.data(), &plainLength, block, blockLength) <= 0) return false;
  if (plainLength > outLength) return false;
  if (plainLength > 0) std::memcpy(out, plain.data(), plainLength);
  outLength = plainLength;
  return true;
}
