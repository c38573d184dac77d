// The MIME scripting methods of the control: its lists of files to embed, the two
// encoders and the decoder, on the control's parameters and ports.
#pragma once

#include <cstdint>

#include "base/text.h"

namespace qorva {

class CQorvaeditorCtrl;

void MimeSetListInit(CQorvaeditorCtrl& control);
// nType 0 registers an image, any other value a file.
void MimeAddEncodingFile(CQorvaeditorCtrl& control, TextView strPathorURL, int32_t nType);
Text EncodeMimeFor(CQorvaeditorCtrl& control, TextView strHtml, int32_t nFileNameType);
Text EncodeMineFor(CQorvaeditorCtrl& control, TextView strHtml, int32_t nFileNameType);
Text DecodeMimeFor(CQorvaeditorCtrl& control, TextView strMime);

}  // namespace qorva
