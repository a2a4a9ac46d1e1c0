#include "storage/page_writer.h"

#include "app/program_state.h"
#include "storage/page_files.h"

namespace {

// While a write is under way only the writing thread touches this record and the bytes.
struct PageFileWrite {
    bool started = false;
    HANDLE thread = nullptr;
    char path[MAX_PATH] = {};
    const char* text = nullptr;
    DWORD length = 0;
    VersionRequest request;
    HWND tell = nullptr;
    UINT message = 0;
    PageWriteResult result;
    LONG ended = 0; // set by the writing thread once its outcome is in place
};

} // namespace

static ProgramState<PageFileWrite> pageFileWrite;

static void writeStartedFile() {
    pageFileWrite.result = writePageFile(pageFileWrite.path, pageFileWrite.text,
                                         pageFileWrite.length, pageFileWrite.request);
    InterlockedExchange(&pageFileWrite.ended, 1);
}

static DWORD WINAPI pageWriterThread(void*) {
    writeStartedFile();
    PostMessageA(pageFileWrite.tell, pageFileWrite.message, 0, 0);
    return 0;
}

void startPageFileWrite(const char* path, const char* text, DWORD length,
                        const VersionRequest& request, HWND tell, UINT message) {
    finishPageFileWrite();
    lstrcpynA(pageFileWrite.path, path, sizeof pageFileWrite.path);
    pageFileWrite.text = text;
    pageFileWrite.length = length;
    pageFileWrite.request = request;
    pageFileWrite.tell = tell;
    pageFileWrite.message = message;
    pageFileWrite.ended = 0;
    pageFileWrite.started = true;
    // A write that waits for its outcome runs here: a thread costs more than the write of a
    // small page.
    if (tell)
        pageFileWrite.thread = CreateThread(nullptr, 0, pageWriterThread, nullptr, 0, nullptr);
    if (!pageFileWrite.thread)
        writeStartedFile();
}

PageWriteResult finishPageFileWrite() {
    if (!pageFileWrite.started) {
        PageWriteResult nothing;
        nothing.written = true;
        return nothing;
    }
    if (pageFileWrite.thread) {
        WaitForSingleObject(pageFileWrite.thread, INFINITE);
        CloseHandle(pageFileWrite.thread);
        pageFileWrite.thread = nullptr;
    }
    pageFileWrite.started = false;
    return pageFileWrite.result;
}

bool pageFileWriteEnded() {
    return pageFileWrite.started && InterlockedCompareExchange(&pageFileWrite.ended, 0, 0);
}
