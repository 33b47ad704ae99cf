#include "ChildProcesses.h"

namespace testing_support {

ChildProcesses::ChildProcesses() : job(CreateJobObjectW(nullptr, nullptr))
{
    if (!job) return;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    SetInformationJobObject(job.Get(), JobObjectExtendedLimitInformation, &limits, sizeof limits);
}

ChildProcesses::~ChildProcesses() { EndAll(); }

HANDLE ChildProcesses::Start(const std::wstring& program, const std::wstring& arguments,
                             DWORD* processId, const std::wstring& currentDirectory,
                             DWORD creationFlags)
{
    std::wstring commandLine = L"\"" + program + L"\"";
    if (!arguments.empty()) commandLine += L" " + arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE,
                        creationFlags | CREATE_SUSPENDED, nullptr,
                        currentDirectory.empty() ? nullptr : currentDirectory.c_str(), &startup,
                        &process))
        return nullptr;
    UniqueKernelHandle thread(process.hThread);
    if (job) AssignProcessToJobObject(job.Get(), process.hProcess);
    ResumeThread(thread.Get());
    processes.emplace_back(process.hProcess);
    if (processId) *processId = process.dwProcessId;
    return process.hProcess;
}

DWORD ChildProcesses::Run(const std::wstring& program, const std::wstring& arguments,
                          DWORD timeoutMs)
{
    const HANDLE process = Start(program, arguments, nullptr, L"", CREATE_NO_WINDOW);
    if (!process) return kNotStarted;
    return Ends(process, timeoutMs) ? ExitCodeOf(process) : kStillRunning;
}

void ChildProcesses::EndAll()
{
    if (job) TerminateJobObject(job.Get(), 1);
    for (const UniqueKernelHandle& process : processes) {
        TerminateProcess(process.Get(), 1);
        WaitForSingleObject(process.Get(), 5000);
    }
    processes.clear();
}

DWORD ChildProcesses::ProcessesSeen() const
{
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION accounting = {};
    if (!job || !QueryInformationJobObject(job.Get(), JobObjectBasicAccountingInformation, &accounting,
                                           sizeof accounting, nullptr))
        return 0;
    return accounting.TotalProcesses;
}

bool Ends(HANDLE process, DWORD ms) { return WaitForSingleObject(process, ms) == WAIT_OBJECT_0; }

DWORD ExitCodeOf(HANDLE process)
{
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process, &code);
    return code;
}

}  // namespace testing_support
