#include "pagemint/portable/ZipWriter.h"

#include <zlib.h>

#include <limits>

namespace {

constexpr uint32_t kLocalHeaderSignature = 0x04034b50;
constexpr uint32_t kCentralHeaderSignature = 0x02014b50;
constexpr uint32_t kEndRecordSignature = 0x06054b50;
constexpr uint16_t kVersionNeeded = 20;  // deflate
constexpr uint16_t kMethodDeflate = 8;

void Put16(std::string* out, uint16_t value) {
  out->push_back(static_cast<char>(value & 0xFF));
  out->push_back(static_cast<char>(value >> 8));
}

void Put32(std::string* out, uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out->push_back(static_cast<char>((value >> shift) & 0xFF));
}

bool FitsIn32(size_t value) { return value <= std::numeric_limits<uint32_t>::max(); }

// Raw deflate (no zlib header), as ZIP entries carry it.
bool Deflate(const std::string& input, std::string* output) {
  if (!FitsIn32(input.size())) return false;
  z_stream stream{};
  if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK) return false;
  output->assign(deflateBound(&stream, static_cast<uLong>(input.size())), '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(input.data()));
  stream.avail_in = static_cast<uInt>(input.size());
  stream.next_out = reinterpret_cast<Bytef*>(output->data());
  stream.avail_out = static_cast<uInt>(output->size());
  const int result = deflate(&stream, Z_FINISH);
  output->resize(stream.total_out);
  deflateEnd(&stream);
  return result == Z_STREAM_END;
}

}  // namespace

ZipDosTime MakeZipDosTime(int year, int month, int day, int hour, int minute, int second) {
  ZipDosTime stamp;
  if (year < 1980 || year > 2107) return stamp;
  stamp.date = static_cast<uint16_t>(((year - 1980) << 9) | (month << 5) | day);
  stamp.time = static_cast<uint16_t>((hour << 11) | (minute << 5) | (second / 2));
  return stamp;
}

bool ZipWriter::Add(const std::string& name, const std::string& content) {
  if (failed_) return false;
  std::string compressed;
  Entry entry;
  entry.name = name;
  if (name.size() > 0xFFFF || entries_.size() >= 0xFFFF || !Deflate(content, &compressed) ||
      !FitsIn32(bytes_.size())) {
    failed_ = true;
    return false;
  }
  entry.crc = static_cast<uint32_t>(
      crc32(crc32(0L, Z_NULL, 0), reinterpret_cast<const Bytef*>(content.data()), static_cast<uInt>(content.size())));
  entry.compressedSize = static_cast<uint32_t>(compressed.size());
  entry.size = static_cast<uint32_t>(content.size());
  entry.offset = static_cast<uint32_t>(bytes_.size());

  Put32(&bytes_, kLocalHeaderSignature);
  PutSharedFields(entry, &bytes_);
  bytes_ += name;
  bytes_ += compressed;
  entries_.push_back(entry);
  return true;
}

// The fields that the local header and the central header share, from the
// version needed to extract up to the extra field length.
void ZipWriter::PutSharedFields(const Entry& entry, std::string* out) const {
  Put16(out, kVersionNeeded);
  Put16(out, 0);  // flags
  Put16(out, kMethodDeflate);
  Put16(out, stamp_.time);
  Put16(out, stamp_.date);
  Put32(out, entry.crc);
  Put32(out, entry.compressedSize);
  Put32(out, entry.size);
  Put16(out, static_cast<uint16_t>(entry.name.size()));
  Put16(out, 0);  // extra field length
}

bool ZipWriter::Finish(std::string* archive) {
  if (failed_ || !FitsIn32(bytes_.size())) return false;
  std::string directory;
  for (const Entry& entry : entries_) {
    Put32(&directory, kCentralHeaderSignature);
    Put16(&directory, kVersionNeeded);  // made by: MS-DOS attributes, version 2.0
    PutSharedFields(entry, &directory);
    Put16(&directory, 0);  // comment length
    Put16(&directory, 0);  // disk number
    Put16(&directory, 0);  // internal attributes
    Put32(&directory, 0);  // external attributes
    Put32(&directory, entry.offset);
    directory += entry.name;
  }
  if (!FitsIn32(bytes_.size() + directory.size())) return false;
  std::string end;
  Put32(&end, kEndRecordSignature);
  Put16(&end, 0);  // this disk
  Put16(&end, 0);  // disk of the central directory
  Put16(&end, static_cast<uint16_t>(entries_.size()));
  Put16(&end, static_cast<uint16_t>(entries_.size()));
  Put32(&end, static_cast<uint32_t>(directory.size()));
  Put32(&end, static_cast<uint32_t>(bytes_.size()));
  Put16(&end, 0);  // comment length
  *archive = bytes_ + directory + end;
  return true;
}
