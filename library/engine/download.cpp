#include "download.h"

#include <windows.h>
#include <wininet.h>

#include <cstring>
#include <optional>

#include "error_text.h"
#include "handles.h"

namespace quillaby {
namespace {

constexpr DWORD kChunkSize = 1024;
constexpr DWORD kResponseTextSize = 512;

std::string lastResponseText() {
    DWORD error = 0;
    char buffer[kResponseTextSize] = {};
    DWORD length = kResponseTextSize;
    InternetGetLastResponseInfoA(&error, buffer, &length);
    return std::string(buffer, strnlen(buffer, kResponseTextSize));
}

std::optional<DWORD> queryNumber(HINTERNET request, DWORD info) {
    DWORD value = 0;
    DWORD length = sizeof value;
    if (!HttpQueryInfoA(request, info | HTTP_QUERY_FLAG_NUMBER, &value, &length, nullptr)) {
        return std::nullopt;
    }
    return value;
}

std::string statusLine(HINTERNET request) {
    DWORD length = 0;
    HttpQueryInfoA(request, HTTP_QUERY_RAW_HEADERS_CRLF, nullptr, &length, nullptr);
    std::string headers(length, '\0');
    if (length == 0 ||
        !HttpQueryInfoA(request, HTTP_QUERY_RAW_HEADERS_CRLF, headers.data(), &length, nullptr)) {
        return {};
    }
    return headers.substr(0, headers.find("\r\n"));
}

// 0, or the code for an answer that is not a success; URLs without HTTP status pass.
int32_t statusFailure(HINTERNET request, std::string& responseText) {
    const auto status = queryNumber(request, HTTP_QUERY_STATUS_CODE);
    if (!status || (*status >= 200 && *status < 300)) {
        return 0;
    }
    responseText = statusLine(request);
    return errorCodeForStatus(*status);
}

int32_t transferBody(HINTERNET request, HANDLE file, uint32_t& total) {
    char buffer[kChunkSize];
    for (;;) {
        DWORD read = 0;
        if (!InternetReadFile(request, buffer, kChunkSize, &read)) {
            return failureCode();
        }
        if (read == 0) {
            break;
        }
        DWORD written = 0;
        if (!WriteFile(file, buffer, read, &written, nullptr)) {
            return failureCode();
        }
        if (written != read) {
            return ERROR_DISK_FULL;
        }
        total += read;
    }
    // A connection closed early ends the reads like a complete body does.
    const auto announced = queryNumber(request, HTTP_QUERY_CONTENT_LENGTH);
    if (announced && *announced != total) {
        return ERROR_HANDLE_EOF;
    }
    return 0;
}

}  // namespace

int32_t errorCodeForStatus(unsigned long status) {
    switch (status) {
        case 404:
        case 410:
            return ERROR_FILE_NOT_FOUND;
        case 401:
        case 403:
            return ERROR_ACCESS_DENIED;
        default:
            return ERROR_BAD_NET_RESP;
    }
}

int32_t downloadToFile(const std::string& url, const std::string& localPath, uint32_t& bytesWritten,
                       std::string& responseText) {
    DeleteUrlCacheEntryA(url.c_str());
    bytesWritten = 0;

    const InternetHandle internet(
        InternetOpenA("Norvadel", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
    if (!internet) {
        return failureCode();
    }
    const InternetHandle request(InternetOpenUrlA(internet.get(), url.c_str(), nullptr, 0, 0, 0));
    if (!request) {
        const int32_t code = failureCode();
        responseText = lastResponseText();
        return code;
    }
    FileHandle file = ownFile(CreateFileA(localPath.c_str(), GENERIC_WRITE, 0, nullptr,
                                          CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return failureCode();
    }

    uint32_t total = 0;
    int32_t code = statusFailure(request.get(), responseText);
    if (code == 0) {
        code = transferBody(request.get(), file.get(), total);
    }
    if (code != 0) {
        // Callers take 0 as a complete file: never leave a partial or an error page behind.
        file.reset();
        DeleteFileA(localPath.c_str());
        return code;
    }
    bytesWritten = total;
    return 0;
}

}  // namespace quillaby
