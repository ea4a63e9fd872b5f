// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/platform_gbk.h"

#include <climits>

#ifdef _WIN32
#include <windows.h>
#else
#include <QByteArray>
#include <QString>
#include <QStringDecoder>
#endif

namespace zhuheng::batch {

#ifdef _WIN32

namespace {
constexpr UINT kGbkCodePage = 936;
}

GbkDecoder platform_gbk_decoder() {
    return [](std::string_view bytes) -> std::optional<std::string> {
        if (bytes.empty()) {
            return std::string();
        }
        if (bytes.size() > INT_MAX) {
            return std::nullopt;
        }
        const int size = static_cast<int>(bytes.size());
        const int wide_size =
            MultiByteToWideChar(kGbkCodePage, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
        if (wide_size <= 0) {
            return std::nullopt;
        }
        std::wstring wide(static_cast<std::size_t>(wide_size), L'\0');
        if (MultiByteToWideChar(kGbkCodePage, MB_ERR_INVALID_CHARS, bytes.data(), size,
                                wide.data(), wide_size) != wide_size) {
            return std::nullopt;
        }
        const int utf8_size =
            WideCharToMultiByte(CP_UTF8, 0, wide.data(), wide_size, nullptr, 0, nullptr, nullptr);
        if (utf8_size <= 0) {
            return std::nullopt;
        }
        std::string utf8(static_cast<std::size_t>(utf8_size), '\0');
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), wide_size, utf8.data(), utf8_size, nullptr,
                            nullptr);
        return utf8;
    };
}

#else

namespace {
// ICU's GBK is Windows' code page 936 (0x80 the euro sign): what Excel writes.
constexpr const char* kGbkName = "GBK";
}

GbkDecoder platform_gbk_decoder() {
    if (!QStringDecoder(kGbkName).isValid()) {
        return {}; // a Qt built without ICU
    }
    return [](std::string_view bytes) -> std::optional<std::string> {
        if (bytes.size() > static_cast<std::size_t>(INT_MAX)) {
            return std::nullopt;
        }
        // ICU reads the byte 0xFF as a private-use character; code page 936 has no character
        // there, and Windows refuses it: refused alike, a table reads the same on both.
        if (bytes.find('\xFF') != std::string_view::npos) {
            return std::nullopt;
        }
        // Stateless: a character cut at the end is an error, not kept for a next call.
        QStringDecoder decoder(kGbkName, QStringDecoder::Flag::Stateless);
        const QString text =
            decoder.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
        if (decoder.hasError()) {
            return std::nullopt;
        }
        const QByteArray utf8 = text.toUtf8();
        return std::string(utf8.constData(), static_cast<std::size_t>(utf8.size()));
    };
}

#endif

} // namespace zhuheng::batch
