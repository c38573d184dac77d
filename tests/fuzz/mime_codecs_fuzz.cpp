// Feeds arbitrary bytes to every MIME codec in both directions. Decoding must stay in
// its buffer; encoding must fit the size bound the codec announces (the output with
// exactly that room equals the output with plenty), quoted-printable lines must stay
// within 76 characters, and the reversible codecs must give their input back.
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include "mime/mime_codec_registry.h"
#include "mime/mime_codecs.h"
#include "mime/mime_field_codecs.h"

namespace {

using namespace qorva;

std::string EncodeWithRoom(CMimeCodeBase& codec, std::string_view input, size_t extra) {
  codec.SetInput(input, CodecDirection::kEncode);
  std::string out(codec.EncodedSize() + extra, '\0');
  out.resize(codec.EncodeInto(out.data(), out.size()));
  return out;
}

std::string Decode(CMimeCodeBase& codec, std::string_view input) {
  codec.SetInput(input, CodecDirection::kDecode);
  return RunCodec(codec);
}

// The announced bound is enough: more room changes nothing.
std::string CheckedEncode(const std::function<std::unique_ptr<CMimeCodeBase>()>& make,
                          std::string_view input) {
  auto tight = make();
  auto roomy = make();
  std::string exact = EncodeWithRoom(*tight, input, 0);
  if (EncodeWithRoom(*roomy, input, exact.size() + 64) != exact) std::abort();
  return exact;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const uint8_t options = data[0];
  std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
  if (options & 1) {
    EnableHeaderFolding();
  } else {
    ResetMimeCodecRegistries();
  }

  std::string qp = CheckedEncode([] { return std::make_unique<CMimeCodeQP>(); }, input);
  // No line longer than 76 characters, its soft break's "=" included.
  size_t column = 0;
  for (char c : qp) {
    column = c == '\r' || c == '\n' ? 0 : column + 1;
    if (column > 76) std::abort();
  }
  CMimeCodeQP qpDecoder;
  if (Decode(qpDecoder, qp) != input) std::abort();
  CMimeCodeQP qpRaw;
  Decode(qpRaw, input);

  for (LineBreaks breaks : {LineBreaks::kOn, LineBreaks::kOff}) {
    std::string b64 =
        CheckedEncode([breaks] { return std::make_unique<CMimeCodeBase64>(breaks); }, input);
    CMimeCodeBase64 decoder;
    if (Decode(decoder, b64) != input) std::abort();
    CMimeCodeBase64 raw;
    Decode(raw, input);
  }

  std::string seven = CheckedEncode([] { return std::make_unique<CMimeCode7bit>(); }, input);
  // Line breaks only ever add CR LF.
  if (seven.size() < input.size()) std::abort();

  // A charset taken from the input, so that long and odd charsets are tried too.
  size_t charsetLength = (options >> 1) % 8 == 7 ? 70 : (options >> 1) % 8;
  std::string charset(input.substr(0, std::min(charsetLength, input.size())));
  for (char& c : charset) {
    if (c == '?' || c < '!' || c > '~') c = 'x';
  }
  std::string_view text = input.substr(charset.size());
  for (char letter : {'B', 'Q'}) {
    std::string words =
        CheckedEncode([&] { return std::make_unique<CMimeEncodedWord>(letter, charset); }, text);
    CMimeEncodedWord decoder('Q', "");
    std::string back = Decode(decoder, words);
    if (!charset.empty() && back != text) std::abort();
  }
  CMimeEncodedWord wordDecoder('Q', "");
  Decode(wordDecoder, input);

  for (const char* field : {"Subject", "To", "Content-Type", "X-Other"}) {
    for (const std::string& fieldCharset : {std::string(), charset}) {
      CheckedEncode(
          [&]() -> std::unique_ptr<CMimeCodeBase> {
            auto codec = FieldCodecFor(field);
            codec->SetCharset(fieldCharset);
            return codec;
          },
          input);
    }
    auto decoder = FieldCodecFor(field);
    Decode(*decoder, input);
  }
  return 0;
}
