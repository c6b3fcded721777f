// Loopback servers for the internet layer's tests: each is a child process started on a free
// port of 127.0.0.1 and stopped by its pid when the object goes (also when a test fails), or
// killed by the system when the test program itself dies.
#pragma once

#include "support/RequiredTools.h"
#include "support/ScopedTempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace nettest {

inline const char* kPython = "/usr/bin/python3";

inline std::string ServerScript()
{
    return (std::filesystem::path(VOSTREL_TESTS_DIR) / "platform" / "net" / "net_test_server.py").string();
}

inline bool HaveProgram(const std::string& path)
{
    return access(path.c_str(), X_OK) == 0;
}

inline bool HavePythonModule(const char* module)
{
    if (!HaveProgram(kPython))
        return false;
    const std::string command = std::string(kPython) + " -c 'import " + module + "' >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

inline std::string FindProgram(const char* name)
{
    for (const char* dir : {"/usr/bin", "/usr/sbin", "/usr/local/bin", "/bin"}) {
        std::string path = std::string(dir) + "/" + name;
        if (HaveProgram(path))
            return path;
    }
    return std::string();
}

// What the machine lacks of the programs (python3 is the one at kPython) and the python3
// module, for a test's message; "" when it has them all.
inline std::string MissingPrograms(std::initializer_list<const char*> programs, const char* module = nullptr)
{
    std::string missing;
    for (const char* program : programs)
        if (std::string(program) == "python3" ? !HaveProgram(kPython) : FindProgram(program).empty())
            missing += (missing.empty() ? "" : ", ") + std::string(program);
    if (missing.empty() && module != nullptr && !HavePythonModule(module))
        missing = std::string("the python3 module ") + module;
    return missing;
}

// Why a test server of these programs is not there: what the machine lacks, else that it did
// not start.
inline std::string WhyNotStarted(const char* server, std::initializer_list<const char*> programs,
                                 const char* module = nullptr)
{
    const std::string missing = MissingPrograms(programs, module);
    return missing.empty() ? std::string(server) + " (it did not start)" : missing;
}

// A port on 127.0.0.1 that nothing listens on at the moment of asking.
inline int FreeLoopbackPort()
{
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    close(fd);
    return ntohs(address.sin_port);
}

class ChildServer {
public:
    ChildServer() = default;
    ChildServer(const ChildServer&) = delete;
    ChildServer& operator=(const ChildServer&) = delete;
    ~ChildServer() { Stop(); }

    // Starts the program; when readPort is set, its first output line is the port it serves.
    bool Start(const std::vector<std::string>& args, bool readPort)
    {
        int pipeFds[2];
        if (pipe(pipeFds) != 0)
            return false;
        const pid_t parent = getpid();
        m_pid = fork();
        if (m_pid == 0) {
            // A test program that crashes or is killed by its time limit never runs the
            // destructor: the server must then go with it rather than serve on forever.
            prctl(PR_SET_PDEATHSIG, SIGKILL);
            if (getppid() != parent)
                _exit(127);
            dup2(pipeFds[1], STDOUT_FILENO);
            int devNull = open("/dev/null", O_WRONLY);
            dup2(devNull, STDERR_FILENO);
            close(pipeFds[0]);
            std::vector<char*> argv;
            for (const std::string& a : args)
                argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        }
        close(pipeFds[1]);
        m_outFd = pipeFds[0];
        if (m_pid < 0)
            return false;
        if (!readPort)
            return true;
        std::string line;
        if (!ReadLine(line, 10000))
            return false;
        m_port = std::atoi(line.c_str());
        return m_port > 0;
    }

    // Waits, a minute at most, until the program prints the line; the lines before it are
    // passed over. For one thread at a time.
    bool WaitForLine(const std::string& wanted)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
        for (;;) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            std::string line;
            if (left.count() <= 0 || !ReadLine(line, static_cast<int>(left.count())))
                return false;
            if (line == wanted)
                return true;
        }
    }

    // Waits until something accepts connections on the port.
    bool WaitForPort(int port)
    {
        for (int i = 0; i < 200; ++i) {
            int fd = socket(AF_INET, SOCK_STREAM, 0);
            sockaddr_in address{};
            address.sin_family = AF_INET;
            address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            address.sin_port = htons(static_cast<uint16_t>(port));
            const bool ok = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
            close(fd);
            if (ok) {
                m_port = port;
                return true;
            }
            usleep(25000);
        }
        return false;
    }

    void Stop()
    {
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            int status = 0;
            for (int i = 0; i < 100 && waitpid(m_pid, &status, WNOHANG) == 0; ++i)
                usleep(20000);
            if (waitpid(m_pid, &status, WNOHANG) == 0) {
                kill(m_pid, SIGKILL);
                waitpid(m_pid, &status, 0);
            }
            m_pid = -1;
        }
        if (m_outFd >= 0) {
            close(m_outFd);
            m_outFd = -1;
        }
    }

    int Port() const { return m_port; }

private:
    // The next line of the program's output, without its end; false when none came in time.
    bool ReadLine(std::string& line, int ms)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        size_t end = m_unread.find('\n');
        while (end == std::string::npos) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            pollfd p{m_outFd, POLLIN, 0};
            if (left.count() <= 0 || poll(&p, 1, static_cast<int>(left.count())) <= 0)
                return false;
            char buffer[256];
            const ssize_t n = read(m_outFd, buffer, sizeof buffer);
            if (n <= 0)
                return false;
            m_unread.append(buffer, static_cast<size_t>(n));
            end = m_unread.find('\n');
        }
        line = m_unread.substr(0, end);
        m_unread.erase(0, end + 1);
        return true;
    }

    pid_t m_pid = -1;
    int m_outFd = -1;
    int m_port = 0;
    std::string m_unread;   // what the program printed beyond the lines read
};

// A test server with the folder it serves or keeps its certificate in, shared by one test suite:
// the suite starts it once, and dropping the object stops the server by its pid and then
// removes the folder.
struct SuiteServer {
    ScopedTempDir dir;
    ChildServer server;

    int Port() const { return server.Port(); }
    // Writes a file to serve, making the folders on its path.
    void Write(const std::string& name, const std::string& content) const
    {
        std::filesystem::create_directories(std::filesystem::path(dir.File(name)).parent_path());
        dir.WriteFile(name, content);
    }
};

// Starts the HTTP test server; null when python3 is missing or the server does not start.
inline std::unique_ptr<ChildServer> StartHttpServer()
{
    if (!HaveProgram(kPython))
        return nullptr;
    auto server = std::make_unique<ChildServer>();
    if (!server->Start({kPython, ServerScript(), "http"}, true))
        return nullptr;
    return server;
}

// Starts the FTP test server on the folder with the login "user" and the password; false when
// python3 or pyftpdlib is missing or the server does not start.
inline bool StartFtpServer(SuiteServer& suite, const std::string& password = "secret")
{
    return HavePythonModule("pyftpdlib")
        && suite.server.Start({kPython, ServerScript(), "ftp", suite.dir.Path(), "user", password}, true);
}

// Makes a self-signed certificate for 127.0.0.1 (only the address: "localhost" does not match
// it) in the folder and starts the HTTPS test server with it; false when openssl or python3 is
// missing or the server does not start.
inline bool StartHttpsServer(SuiteServer& suite)
{
    const std::string openssl = FindProgram("openssl");
    if (openssl.empty() || !HaveProgram(kPython) || suite.dir.Path().empty())
        return false;
    const std::string command = openssl + " req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=127.0.0.1"
        " -addext subjectAltName=IP:127.0.0.1 -keyout " + suite.dir.File("key.pem") + " -out "
        + suite.dir.File("cert.pem") + " >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0)
        return false;
    return suite.server.Start(
        {kPython, ServerScript(), "https", suite.dir.File("cert.pem"), suite.dir.File("key.pem")}, true);
}

// Makes, in the folder, certificates signed by authorities of the test's own, for the checks of a
// certificate's dates apart from the rest: "authorities.pem" holds the authorities to trust, a
// valid one and one whose dates have run out; "expired.pem" is a certificate for 127.0.0.1 of
// the valid authority that has run out; "forged.pem" one for 127.0.0.1 that claims the run-out
// authority as its issuer but was signed by another key. "leaf.key" is the key of both. False
// when openssl is missing or fails.
inline bool MakeCertificates(const SuiteServer& suite)
{
    const std::string openssl = FindProgram("openssl");
    if (openssl.empty() || suite.dir.Path().empty())
        return false;
    suite.dir.WriteFile("ca.cnf", "[ca]\ndefault_ca = d\n[d]\ndatabase = index.txt\nnew_certs_dir = .\n"
                                  "serial = serial\ndefault_md = sha256\npolicy = p\nunique_subject = no\n"
                                  "[p]\ncommonName = supplied\n"
                                  "[authority]\nbasicConstraints = critical,CA:TRUE\nkeyUsage = keyCertSign,cRLSign\n"
                                  "[leaf]\nbasicConstraints = CA:FALSE\nsubjectAltName = IP:127.0.0.1\n"
                                  "authorityKeyIdentifier = none\nsubjectKeyIdentifier = none\n");
    suite.dir.WriteFile("index.txt", "");
    suite.dir.WriteFile("serial", "01\n");
    const std::string key = " -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes";
    const std::string ca = openssl + " ca -batch -notext -config ca.cnf";
    const std::string past = " -startdate 20200101000000Z -enddate 20200201000000Z";
    const std::string steps[] = {
        openssl + " req -new" + key + " -subj /CN=TestAuthority -keyout ca.key -out ca.csr",
        ca + " -selfsign -keyfile ca.key -in ca.csr -out ca.pem -days 30 -extensions authority",
        openssl + " req -new" + key + " -subj /CN=OldAuthority -keyout old.key -out old.csr",
        ca + " -selfsign -keyfile old.key -in old.csr -out old.pem" + past + " -extensions authority",
        openssl + " req -new" + key + " -subj /CN=OldAuthority -keyout forger.key -out forger.csr",
        ca + " -selfsign -keyfile forger.key -in forger.csr -out forger.pem -days 30 -extensions authority",
        openssl + " req -new" + key + " -subj /CN=127.0.0.1 -keyout leaf.key -out leaf.csr",
        ca + " -cert ca.pem -keyfile ca.key -in leaf.csr -out expired.pem" + past + " -extensions leaf",
        ca + " -cert forger.pem -keyfile forger.key -in leaf.csr -out forged.pem -days 30 -extensions leaf",
        "cat ca.pem old.pem > authorities.pem",
    };
    for (const std::string& step : steps)
        if (std::system(("cd '" + suite.dir.Path() + "' && (" + step + ") >/dev/null 2>&1").c_str()) != 0)
            return false;
    return true;
}

} // namespace nettest
