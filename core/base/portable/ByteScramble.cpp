#include "core/base/portable/ByteScramble.h"

void ScrambleBytes(void* data, size_t length) {
  uint8_t* bytes = static_cast<uint8_t*>(data);
  for (size_t i = 0; i < length; ++i) bytes[i] = ScrambleByte(bytes[i]);
}
