#include "platform/core/FormatMessage.h"

#include "platform/core/SystemServices.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

struct ErrorText {
    DWORD code;
    const char* text;
};

// The texts of the codes the layer reports.
const ErrorText kErrorTexts[] = {
    {ERROR_SUCCESS, "The operation completed successfully."},
    {ERROR_INVALID_FUNCTION, "Incorrect function."},
    {ERROR_FILE_NOT_FOUND, "The system cannot find the file specified."},
    {ERROR_PATH_NOT_FOUND, "The system cannot find the path specified."},
    {ERROR_TOO_MANY_OPEN_FILES, "The system cannot open the file because too many files are open."},
    {ERROR_ACCESS_DENIED, "Access is denied."},
    {ERROR_INVALID_HANDLE, "The handle is invalid."},
    {ERROR_NOT_ENOUGH_MEMORY, "Not enough memory is available to process this command."},
    {ERROR_INVALID_DATA, "The data is invalid."},
    {ERROR_OUTOFMEMORY, "Not enough memory is available to complete this operation."},
    {ERROR_INVALID_DRIVE, "The system cannot find the drive specified."},
    {ERROR_CURRENT_DIRECTORY, "The directory cannot be removed."},
    {ERROR_NOT_SAME_DEVICE, "The system cannot move the file to a different disk drive."},
    {ERROR_NO_MORE_FILES, "There are no more files."},
    {ERROR_WRITE_PROTECT, "The media is write protected."},
    {ERROR_SEEK, "The drive cannot locate a specific area or track on the disk."},
    {ERROR_WRITE_FAULT, "The system cannot write to the specified device."},
    {ERROR_READ_FAULT, "The system cannot read from the specified device."},
    {ERROR_SHARING_VIOLATION, "The process cannot access the file because it is being used by another process."},
    {ERROR_LOCK_VIOLATION, "The process cannot access the file because another process has locked a portion of the file."},
    {ERROR_HANDLE_EOF, "Reached the end of the file."},
    {ERROR_HANDLE_DISK_FULL, "The disk is full."},
    {ERROR_NOT_SUPPORTED, "The request is not supported."},
    {ERROR_FILE_EXISTS, "The file exists."},
    {ERROR_CANNOT_MAKE, "The directory or file cannot be created."},
    {ERROR_INVALID_PARAMETER, "The parameter is incorrect."},
    {ERROR_BROKEN_PIPE, "The pipe has been ended."},
    {ERROR_BUFFER_OVERFLOW, "The file name is too long."},
    {ERROR_DISK_FULL, "There is not enough space on the disk."},
    {ERROR_CALL_NOT_IMPLEMENTED, "This function is not supported on this system."},
    {ERROR_INSUFFICIENT_BUFFER, "The data area passed to a system call is too small."},
    {ERROR_INVALID_NAME, "The filename, directory name, or volume label syntax is incorrect."},
    {ERROR_MOD_NOT_FOUND, "The specified module could not be found."},
    {ERROR_PROC_NOT_FOUND, "The specified procedure could not be found."},
    {ERROR_NEGATIVE_SEEK, "An attempt was made to move the file pointer before the beginning of the file."},
    {ERROR_DIR_NOT_EMPTY, "The directory is not empty."},
    {ERROR_BAD_PATHNAME, "The specified path is invalid."},
    {ERROR_LOCK_FAILED, "Unable to lock a region of a file."},
    {ERROR_ALREADY_EXISTS, "Cannot create a file when that file already exists."},
    {ERROR_ENVVAR_NOT_FOUND, "The system could not find the environment option that was entered."},
    {ERROR_FILENAME_EXCED_RANGE, "The filename or extension is too long."},
    {ERROR_BAD_FILE_TYPE, "The file type being saved or retrieved has been blocked."},
    {ERROR_FILE_TOO_LARGE, "The file size exceeds the limit allowed and cannot be saved."},
    {ERROR_MORE_DATA, "More data is available."},
    {ERROR_NO_MORE_ITEMS, "No more data is available."},
    {ERROR_DIRECTORY, "The directory name is invalid."},
    {ERROR_NOT_OWNER, "Attempt to release mutex not owned by caller."},
    {ERROR_MR_MID_NOT_FOUND, "The system cannot find message text for message number 0x%1 in the message file for %2."},
    {ERROR_INVALID_ADDRESS, "Attempt to access invalid address."},
    {ERROR_ARITHMETIC_OVERFLOW, "Arithmetic result exceeded 32 bits."},
    {ERROR_OPERATION_ABORTED, "The I/O operation has been aborted because of either a thread exit or an application request."},
    {ERROR_NOACCESS, "Invalid access to memory location."},
    {ERROR_INVALID_FLAGS, "Invalid flags."},
    {ERROR_CANTOPEN, "The configuration registry key could not be opened."},
    {ERROR_CANTREAD, "The configuration registry key could not be read."},
    {ERROR_CANTWRITE, "The configuration registry key could not be written."},
    {ERROR_REGISTRY_CORRUPT, "The registry is corrupted. The file of the registry data is damaged or could not be recovered."},
    {ERROR_KEY_DELETED, "Illegal operation attempted on a registry key that has been marked for deletion."},
    {ERROR_NO_UNICODE_TRANSLATION, "No mapping for the Unicode character exists in the target multi-byte code page."},
    {ERROR_INVALID_WINDOW_HANDLE, "Invalid window handle."},
    {ERROR_INVALID_MENU_HANDLE, "Invalid menu handle."},
    {ERROR_CANNOT_FIND_WND_CLASS, "Cannot find window class."},
    {ERROR_CLASS_ALREADY_EXISTS, "Class already exists."},
    {ERROR_CLASS_DOES_NOT_EXIST, "Class does not exist."},
    {ERROR_CLASS_HAS_WINDOWS, "Class still has open windows."},
    {ERROR_INVALID_INDEX, "Invalid index."},
    {ERROR_CLIPBOARD_NOT_OPEN, "Thread does not have a clipboard open."},
    {ERROR_TIMEOUT, "This operation returned because the timeout period expired."},
    {ERROR_RESOURCE_TYPE_NOT_FOUND, "The specified resource type cannot be found in the image file."},
    {ERROR_RESOURCE_NAME_NOT_FOUND, "The specified resource name cannot be found in the image file."},
};

bool IsFlagChar(char c)
{
    return c == '-' || c == '+' || c == ' ' || c == '#' || c == '0';
}

// Formats one insert with a printf conversion that is parsed and rebuilt here, so that nothing
// from the message text can make snprintf read further arguments.
std::string FormatInsert(std::string_view insertFormat, DWORD_PTR value)
{
    size_t i = 0;
    std::string conversion = "%";
    while (i < insertFormat.size() && IsFlagChar(insertFormat[i]))
        conversion += insertFormat[i++];
    while (i < insertFormat.size() && insertFormat[i] >= '0' && insertFormat[i] <= '9')
        conversion += insertFormat[i++];
    if (i < insertFormat.size() && insertFormat[i] == '.') {
        conversion += insertFormat[i++];
        while (i < insertFormat.size() && insertFormat[i] >= '0' && insertFormat[i] <= '9')
            conversion += insertFormat[i++];
    }
    enum class Width { Int, Short, Wide } width = Width::Int;
    for (;;) {
        if (insertFormat.substr(i, 3) == "I64") {
            width = Width::Wide;
            i += 3;
        } else if (insertFormat.substr(i, 3) == "I32") {
            width = Width::Int;
            i += 3;
        } else if (i < insertFormat.size() && (insertFormat[i] == 'l' || insertFormat[i] == 'w')) {
            ++i; // "long" is 32 bits here; wide strings are not used
        } else if (i < insertFormat.size() && insertFormat[i] == 'h') {
            width = Width::Short;
            ++i;
        } else {
            break;
        }
    }
    char type = i < insertFormat.size() ? insertFormat[i++] : 's';
    std::string_view tail = insertFormat.substr(std::min(i, insertFormat.size()));

    char text[512];
    switch (type) {
    case 'd':
    case 'i':
    case 'u':
    case 'x':
    case 'X':
    case 'o':
        if (width == Width::Wide) {
            conversion += "ll";
            conversion += type;
            std::snprintf(text, sizeof text, conversion.c_str(), static_cast<unsigned long long>(value));
        } else {
            conversion += type;
            unsigned v = static_cast<unsigned>(value);
            if (width == Width::Short)
                v &= 0xFFFFu;
            if (type == 'd' || type == 'i')
                std::snprintf(text, sizeof text, conversion.c_str(),
                              width == Width::Short ? static_cast<int>(static_cast<short>(v)) : static_cast<int>(v));
            else
                std::snprintf(text, sizeof text, conversion.c_str(), v);
        }
        break;
    case 'c':
        conversion += 'c';
        std::snprintf(text, sizeof text, conversion.c_str(), static_cast<int>(static_cast<unsigned char>(value)));
        break;
    case 'p':
        conversion += 'p';
        std::snprintf(text, sizeof text, conversion.c_str(), reinterpret_cast<void*>(value));
        break;
    case 'S':
    case 's': {
        const char* s = reinterpret_cast<const char*>(value);
        conversion += 's';
        // Long strings must not be cut by the fixed buffer.
        int needed = std::snprintf(nullptr, 0, conversion.c_str(), s ? s : "(null)");
        std::string out(static_cast<size_t>(std::max(needed, 0)), '\0');
        std::snprintf(out.data(), out.size() + 1, conversion.c_str(), s ? s : "(null)");
        return out + std::string(tail);
    }
    default:
        // A conversion this layer does not know is shown as written rather than guessed at.
        return "%!" + std::string(insertFormat) + "!";
    }
    return std::string(text) + std::string(tail);
}

// Expands a message; false with the last error set when an insert has no argument.
bool Expand(std::string_view message, DWORD flags, const DWORD_PTR* array, va_list* args,
            std::string& out)
{
    const bool ignoreInserts = (flags & FORMAT_MESSAGE_IGNORE_INSERTS) != 0;
    const DWORD width = flags & FORMAT_MESSAGE_MAX_WIDTH_MASK;

    std::vector<DWORD_PTR> fromList;
    if (!ignoreInserts && !array && args) {
        // Pointer-sized arguments taken in order, as many as the highest insert needs.
        int highest = 0;
        for (size_t i = 0; i + 1 < message.size(); ++i) {
            if (message[i] == '%' && message[i + 1] >= '1' && message[i + 1] <= '9') {
                int n = message[i + 1] - '0';
                if (i + 2 < message.size() && message[i + 2] >= '0' && message[i + 2] <= '9')
                    n = n * 10 + (message[i + 2] - '0');
                highest = std::max(highest, n);
                ++i;
            } else if (message[i] == '%') {
                ++i;
            }
        }
        va_list copy;
        va_copy(copy, *args);
        for (int n = 0; n < highest; ++n)
            fromList.push_back(va_arg(copy, DWORD_PTR));
        va_end(copy);
        array = fromList.data();
    }

    out.clear();
    for (size_t i = 0; i < message.size(); ++i) {
        char c = message[i];
        if (c != '%') {
            if (width == FORMAT_MESSAGE_MAX_WIDTH_MASK && (c == '\r' || c == '\n')) {
                if (c == '\r' && i + 1 < message.size() && message[i + 1] == '\n')
                    ++i;
                out += ' ';
                continue;
            }
            out += c;
            continue;
        }
        if (i + 1 >= message.size()) {
            out += '%';
            break;
        }
        char next = message[++i];
        if (next == '0')
            return true;
        if (next == 'n') {
            out += "\r\n";
            continue;
        }
        if (next == 'r') {
            out += '\r';
            continue;
        }
        if (next == 't') {
            out += '\t';
            continue;
        }
        if (next < '1' || next > '9') {
            out += next;
            continue;
        }
        size_t start = i - 1;
        int number = next - '0';
        if (i + 1 < message.size() && message[i + 1] >= '0' && message[i + 1] <= '9')
            number = number * 10 + (message[++i] - '0');
        std::string_view insertFormat = "s";
        if (i + 1 < message.size() && message[i + 1] == '!') {
            size_t close = message.find('!', i + 2);
            if (close != std::string_view::npos) {
                insertFormat = message.substr(i + 2, close - i - 2);
                i = close;
            }
        }
        if (ignoreInserts) {
            out.append(message.substr(start, i + 1 - start));
            continue;
        }
        if (!array) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return false;
        }
        out += FormatInsert(insertFormat, array[number - 1]);
    }
    return true;
}

} // namespace

LPCSTR GetSystemErrorText(DWORD dwMessageId)
{
    for (const ErrorText& entry : kErrorTexts)
        if (entry.code == dwMessageId)
            return entry.text;
    return nullptr;
}

DWORD FormatMessage(DWORD dwFlags, LPCVOID lpSource, DWORD dwMessageId, DWORD, LPSTR lpBuffer,
                    DWORD nSize, va_list* Arguments)
{
    std::string message;
    if (dwFlags & FORMAT_MESSAGE_FROM_STRING) {
        if (!lpSource) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return 0;
        }
        message = static_cast<const char*>(lpSource);
    } else if ((dwFlags & FORMAT_MESSAGE_FROM_HMODULE) && lpSource) {
        SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
        return 0;
    } else if (dwFlags & (FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_FROM_HMODULE)) {
        LPCSTR text = GetSystemErrorText(dwMessageId);
        if (!text) {
            SetLastError(ERROR_MR_MID_NOT_FOUND);
            return 0;
        }
        message = std::string(text) + "%n";
    } else {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }

    const DWORD_PTR* array = (dwFlags & FORMAT_MESSAGE_ARGUMENT_ARRAY)
        ? reinterpret_cast<const DWORD_PTR*>(Arguments)
        : nullptr;
    std::string result;
    if (!Expand(message, dwFlags, array, array ? nullptr : Arguments, result))
        return 0;

    if (!lpBuffer) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (dwFlags & FORMAT_MESSAGE_ALLOCATE_BUFFER) {
        size_t size = std::max<size_t>(result.size() + 1, nSize);
        auto* block = static_cast<char*>(LocalAlloc(LMEM_ZEROINIT, size));
        if (!block) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return 0;
        }
        std::memcpy(block, result.c_str(), result.size() + 1);
        *reinterpret_cast<LPSTR*>(lpBuffer) = block;
    } else {
        if (result.size() + 1 > nSize) {
            SetLastError(ERROR_INSUFFICIENT_BUFFER);
            return 0;
        }
        std::memcpy(lpBuffer, result.c_str(), result.size() + 1);
    }
    SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(result.size());
}
