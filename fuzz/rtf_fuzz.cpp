// The note reader: any bytes load without a crash or a hang, and what the writer
// makes of the result reads back to the same text.

#include "gui_init.h"

#include "platform/rtf.h"

#include <QTextDocument>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    InitGuiOnce();
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QTextDocument doc;
    platform::LoadNoteDocument(bytes, doc);
    const QByteArray rtf = platform::WriteRtf(doc);
    QTextDocument back;
    platform::LoadNoteDocument(rtf, back);
    if (back.toRawText() != doc.toRawText())
        std::abort();
    return 0;
}
