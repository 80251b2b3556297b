// Skin loading throughput: parsing a large skin, and extracting entries from
// an in-memory archive, each beside the raw cost of the part that does the
// heavy lifting (UTF-8 decoding and a plain copy for the parser, zlib's raw
// inflate alone for the archive). Prints figures and ratios.
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "tests/ui/skin/portable/TestZipBuilder.h"
#include "ui/base/portable/Utf8Decoder.h"
#include "ui/skin/portable/XmlMarkup.h"
#include "ui/skin/portable/ZipReader.h"

using namespace Trellis;

namespace {

// Best of several runs, in seconds.
template <typename Work>
double Best(int runs, Work work) {
  double best = 1e9;
  for (int i = 0; i < runs; ++i) {
    const auto start = std::chrono::steady_clock::now();
    work();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (seconds < best) best = seconds;
  }
  return best;
}

double MBps(size_t bytes, double seconds) { return bytes / seconds / 1e6; }

std::string LargeSkin(size_t targetBytes) {
  std::string skin = "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Window size=\"900,640\" caption=\"0,0,0,40\">\n";
  for (int i = 0; skin.size() < targetBytes; ++i) {
    skin += "  <HorizontalLayout height=\"40\" childpadding=\"4\">\n";
    skin += "    <!-- row " + std::to_string(i) + " -->\n";
    skin += "    <Label name=\"lblItem" + std::to_string(i) + "\" text=\"第" + std::to_string(i) +
            "项 &amp; 说明\" textcolor=\"#FF333333\" font=\"1\" padding=\"4,0,4,0\"/>\n";
    skin += "    <Button name=\"btnItem" + std::to_string(i) +
            "\" normalimage=\"file='img/btn.png' source='0,0,80,30'\" hotimage=\"file='img/btn.png' "
            "source='0,30,80,60'\" width=\"80\"/>\n";
    skin += "  </HorizontalLayout>\n";
  }
  return skin + "</Window>\n";
}

void BenchParser() {
  const std::string skin = LargeSkin(4 * 1024 * 1024 - 4096);
  const unsigned char* bytes = reinterpret_cast<const unsigned char*>(skin.data());
  std::vector<UIChar> decoded(skin.size() + 1);
  std::vector<char> copy(skin.size());
  // The mark is dropped as the byte loader does before the text is parsed.
  size_t units = DecodeUtf8(bytes + 3, skin.size() - 3, decoded.data());
  CXmlMarkup markup;
  bool ok = true;
  // The ratios compare work timed in turns, so a busier moment of a shared
  // machine weighs on each side alike: the best of every kind is kept.
  double copySeconds = 1e9, decodeSeconds = 1e9, loadSeconds = 1e9, fullSeconds = 1e9, freshSeconds = 1e9,
         firstSeconds = 1e9;
  volatile UIChar sink = 0;
  for (int round = 0; round < 12; ++round) {
    // New memory of the text's size, which the decoding into a reused buffer
    // never touches: what a load into a new markup pays before any work.
    freshSeconds = std::min(freshSeconds, Best(1, [&] {
      UIChar* fresh = static_cast<UIChar*>(std::malloc((units + 1) * sizeof(UIChar)));
      if (fresh == nullptr) return;
      std::memset(fresh, 'x', (units + 1) * sizeof(UIChar));
      sink = fresh[units / 2];
      std::free(fresh);
    }));
    copySeconds = std::min(copySeconds, Best(2, [&] { std::memcpy(copy.data(), skin.data(), skin.size()); }));
    decodeSeconds =
        std::min(decodeSeconds, Best(1, [&] { units = DecodeUtf8(bytes + 3, skin.size() - 3, decoded.data()); }));
    decoded[units] = 0;
    loadSeconds = std::min(loadSeconds, Best(1, [&] { ok = markup.Load(decoded.data()) && ok; }));
    // The skin loaders' path: the bytes of a file or an archive entry.
    fullSeconds = std::min(fullSeconds, Best(1, [&] {
      ok = markup.LoadFromUnicodeMemory(skin.data(), skin.size(), MarkupEncodingUtf8) && ok;
    }));
    // A markup that loads its first document has no storage to reuse yet (as
    // every window's skin builder), so its text and table are new memory.
    CXmlMarkup first;
    firstSeconds = std::min(firstSeconds, Best(1, [&] {
      ok = first.LoadFromUnicodeMemory(skin.data(), skin.size(), MarkupEncodingUtf8) && ok;
    }));
  }
  std::printf("parser: skin of %.2f MB (UTF-8), %s\n", skin.size() / 1e6, ok ? "parsed" : "FAILED TO PARSE");
  std::printf("  memcpy of the bytes        %9.1f MB/s\n", MBps(skin.size(), copySeconds));
  std::printf("  UTF-8 decoding alone       %9.1f MB/s\n", MBps(skin.size(), decodeSeconds));
  std::printf("  copy + parse (Load)        %9.1f MB/s\n", MBps(skin.size(), loadSeconds));
  std::printf("  decode + parse (from bytes)%9.1f MB/s (the skin loaders' path)\n", MBps(skin.size(), fullSeconds));
  std::printf("  first load (new markup)    %9.1f MB/s\n", MBps(skin.size(), firstSeconds));
  std::printf("  parse time / decoding time %9.2f (copy and parse of the decoded text)\n", loadSeconds / decodeSeconds);
  std::printf("  loaders' parse / decoding  %9.2f (decode + parse from bytes, less the decoding)\n",
              (fullSeconds - decodeSeconds) / decodeSeconds);
  std::printf("  first load / decoding      %9.2f (decode + parse into a new markup's new memory)\n",
              firstSeconds / decodeSeconds);
  std::printf("  new text buffer / decoding %9.2f (filling fresh memory of the text's size)\n",
              freshSeconds / decodeSeconds);
  std::printf("  whole load / memcpy        %9.2f\n", fullSeconds / copySeconds);
}

void BenchArchive() {
  // Deflated skin files and incompressible stored images, as a skin archive holds.
  TestZipBuilder builder;
  std::vector<std::string> contents;
  for (int i = 0; i < 8; ++i) contents.push_back(LargeSkin(1024 * 1024 + i * 1000));
  std::string image(512 * 1024, '\0');
  uint32_t state = 1;
  for (char& ch : image) ch = static_cast<char>((state = state * 1103515245u + 12345u) >> 24);
  for (size_t i = 0; i < contents.size(); ++i) {
    TestZipEntry entry;
    entry.name = "skin" + std::to_string(i) + ".xml";
    entry.data = contents[i];
    builder.Add(entry);
  }
  TestZipEntry stored;
  stored.name = "img/photo.png";
  stored.data = image;
  stored.method = 0;
  builder.Add(stored);
  contents.push_back(image);
  const std::string archive = builder.Build();
  size_t unpacked = 0;
  std::vector<std::string> compressed;
  for (size_t i = 0; i + 1 < contents.size(); ++i) compressed.push_back(RawDeflate(contents[i]));
  for (const std::string& c : contents) unpacked += c.size();
  size_t deflatedUnpacked = unpacked - image.size();

  static const ZipByteNameCodec codec;
  ZipResult opened;
  std::unique_ptr<ZipReader> reader =
      ZipReader::Open(std::unique_ptr<ZipSource>(new ZipMemorySource(archive.data(), archive.size())), &codec, &opened);
  if (!reader) {
    std::printf("archive: FAILED TO OPEN (%d)\n", opened);
    return;
  }
  std::vector<std::string> out(contents.size());
  for (size_t i = 0; i < contents.size(); ++i) out[i].resize(contents[i].size());
  bool ok = true;
  const double extractSeconds = Best(10, [&] {
    for (size_t i = 0; i < contents.size(); ++i) {
      const int index = static_cast<int>(i);
      ok = reader->ExtractToMemory(index, &out[i][0], out[i].size()) == kZipMoreData && ok;
      ok = reader->ExtractToMemory(index, &out[i][0], out[i].size()) == kZipOk && ok;
    }
  });
  for (size_t i = 0; i < contents.size(); ++i) ok = out[i] == contents[i] && ok;
  const double inflateSeconds = Best(10, [&] {
    for (size_t i = 0; i < compressed.size(); ++i) {
      z_stream z = {};
      inflateInit2(&z, -MAX_WBITS);
      z.next_in = reinterpret_cast<Bytef*>(&compressed[i][0]);
      z.avail_in = static_cast<uInt>(compressed[i].size());
      z.next_out = reinterpret_cast<Bytef*>(&out[i][0]);
      z.avail_out = static_cast<uInt>(out[i].size());
      inflate(&z, Z_SYNC_FLUSH);
      inflateEnd(&z);
    }
  });
  const double crcSeconds = Best(10, [&] {
    uLong crc = 0;
    for (const std::string& c : contents) crc = crc32(crc, reinterpret_cast<const Bytef*>(c.data()), static_cast<uInt>(c.size()));
    if (crc == 1) std::printf(" ");
  });
  std::printf("archive: %zu entries, %.2f MB unpacked (%.2f MB deflated skins, %.2f MB stored), archive %.2f MB, %s\n",
              contents.size(), unpacked / 1e6, deflatedUnpacked / 1e6, image.size() / 1e6, archive.size() / 1e6,
              ok ? "extracted intact" : "EXTRACTION FAILED");
  std::printf("  zlib raw inflate alone     %9.1f MB/s (of the deflated skins' output)\n",
              MBps(deflatedUnpacked, inflateSeconds));
  std::printf("  zlib crc32 alone           %9.1f MB/s\n", MBps(unpacked, crcSeconds));
  std::printf("  reader, memory extraction  %9.1f MB/s (all entries, CRC checked)\n", MBps(unpacked, extractSeconds));
  std::printf("  extraction / (inflate+crc) %9.2f\n", extractSeconds / (inflateSeconds + crcSeconds));
  std::printf("  extraction / inflate       %9.2f\n", extractSeconds / inflateSeconds);
}

}  // namespace

int main() {
#if defined(__SANITIZE_ADDRESS__)
  std::printf("(built with AddressSanitizer: absolute figures are low, ratios are what to compare)\n");
#endif
  BenchParser();
  BenchArchive();
  return 0;
}
