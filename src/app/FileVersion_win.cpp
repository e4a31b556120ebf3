#include "FileVersion.h"

#include <QCoreApplication>

#include <windows.h>

#include <vector>

QString readFileVersion()
{
    const std::wstring path = QCoreApplication::applicationFilePath().toStdWString();
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), nullptr);
    if (size == 0)
        return QString();
    std::vector<unsigned char> buffer(size + 1);
    if (!GetFileVersionInfoW(path.c_str(), 0, size, buffer.data()))
        return QString();

    struct Translation {
        WORD language;
        WORD codePage;
    };
    Translation* translation = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(buffer.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                        &length) ||
        !translation || length < sizeof(Translation))
        return QString();

    const std::wstring wideKey =
        fileVersionQueryPath(translation->language, translation->codePage).toStdWString();
    wchar_t* value = nullptr;
    UINT valueLength = 0;
    if (!VerQueryValueW(buffer.data(), wideKey.c_str(), reinterpret_cast<void**>(&value), &valueLength) ||
        !value)
        return QString();
    return QString::fromWCharArray(value);
}
