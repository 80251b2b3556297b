#pragma once

// The service side of the envelope's RSA for tests: a fresh key pair whose
// public half the client code reads as PEM, and the private operations the
// client-management service performs (decrypting the request's CRC block,
// signing the reply's).
#include <openssl/bio.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rsa.h>

#include <cstdint>
#include <string>
#include <vector>

class TestRsaKey {
 public:
  explicit TestRsaKey(unsigned bits = 1024) : m_key(EVP_RSA_gen(bits)) {
    BIO* bio = BIO_new(BIO_s_mem());
    PEM_write_bio_PUBKEY(bio, m_key);
    char* data = nullptr;
    long length = BIO_get_mem_data(bio, &data);
    m_publicPem.assign(data, static_cast<size_t>(length));
    BIO_free(bio);
  }
  ~TestRsaKey() { EVP_PKEY_free(m_key); }
  TestRsaKey(const TestRsaKey&) = delete;
  TestRsaKey& operator=(const TestRsaKey&) = delete;

  const std::string& publicPem() const { return m_publicPem; }

  // What the service does with a request block: private decryption.
  std::vector<uint8_t> Decrypt(const std::string& block) const {
    return Run(EVP_PKEY_decrypt_init, EVP_PKEY_decrypt, block);
  }
  // What the service puts in a reply: a private-key block of `plain`.
  std::string Sign(const std::string& plain) const {
    std::vector<uint8_t> block = Run(EVP_PKEY_sign_init, EVP_PKEY_sign, plain);
    return std::string(block.begin(), block.end());
  }

 private:
  using Init = int (*)(EVP_PKEY_CTX*);
  using Op = int (*)(EVP_PKEY_CTX*, unsigned char*, size_t*, const unsigned char*, size_t);
  std::vector<uint8_t> Run(Init init, Op op, const std::string& input) const {
    EVP_PKEY_CTX* context = EVP_PKEY_CTX_new(m_key, nullptr);
    std::vector<uint8_t> out(static_cast<size_t>(EVP_PKEY_get_size(m_key)));
    size_t length = out.size();
    const auto* in = reinterpret_cast<const unsigned char*>(input.data());
    if (init(context) <= 0 || EVP_PKEY_CTX_set_rsa_padding(context, RSA_PKCS1_PADDING) <= 0 ||
        op(context, out.data(), &length, in, input.size()) <= 0) {
      length = 0;
    }
    EVP_PKEY_CTX_free(context);
    out.resize(length);
    return out;
  }

  EVP_PKEY* m_key;
  std::string m_publicPem;
};
