#pragma once

// RSA operations of the management envelope with the service's public key
// (PEM "PUBLIC KEY" text), PKCS#1 v1.5 padding. The key is read anew for each
// call, so the functions share no state between threads.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The key's modulus size in bytes (128 for a 1024-bit key); 0 when the text is
// not a readable RSA public key.
size_t RsaPublicKeySize(const std::string& pem);

// Encrypts `length` bytes into one block of the key's size.
bool RsaPublicEncrypt(const std::string& pem, const uint8_t* data, size_t length, std::vector<uint8_t>& block);

// Recovers the data of one block that the service made with its private key.
// The block must be exactly the key's size. On entry `outLength` is the room in
// `out`; on success it is the plain length. False when the key cannot be read,
// the block does not decrypt or the plain data does not fit.
bool RsaPublicDecrypt(const std::string& pem, const uint8_t* block, size_t blockLength, uint8_t* out,
                      size_t& outLength);
