// The notification request and its two clients against small HTTP servers
// on 127.0.0.1, each on a port the system picks.
//
// The servers live in one native python3 process that Wine starts for us
// (Wine runs a Unix program named by its Z: path) when the first test
// needs one, not in threads of this program: under the emulated 32-bit
// Wine here, a second thread blocked in socket calls while WinInet works
// on the first takes the whole process down (wineserver pipe errors,
// fd-cache assertions), and with it every other Windows test; starting and
// ending a Unix process per test made socket calls fail now and then too.
// Each server takes one connection and writes out the request's head once
// the client has closed it, so a finished server also means a finished
// client.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "net/http_client_win.h"
#include "net/http_message.h"
#include "net/system_http_client_win.h"
#include "net/winsock_win.h"
#include "setup/integration/notification_request_win.h"
#include "test_files.h"
#include "tl_core/scoped_handle_win.h"

namespace {

// Only guards against a server or client that never comes: no test waits
// this long when the code works.
constexpr DWORD kGuardMs = 180000;
// A short wait for the clients where the server stays silent on purpose.
constexpr uint32_t kShortWaitMs = 300;

constexpr char kPython[] = "Z:\\usr\\bin\\python3";
constexpr char kTarget[] = "/path?v=1.2%20beta";
constexpr char kRequestLine[] = "GET /path?v=1.2%20beta HTTP/1.1";

// argv: the folder (Unix path) through which the tests talk to it. For
// every "<n>.want" (holding the reply) a server on a new port: its port
// goes to "<n>.port" and, after one connection, the request's head to
// "<n>.head" (empty when no client came). Ends on "stop", or when no
// server was wanted for a while, and removes the folder.
constexpr char kServerScript[] = R"PY(
import os, shutil, socket, sys, threading, time
folder = sys.argv[1]
GUARD = 170
OK = b"HTTP/1.1 200 OK\r\nContent-Length: 2\r\nConnection: close\r\n\r\nok"

def path(name):
    return os.path.join(folder, name)

def publish(name, data):
    with open(path(name + ".part"), "wb") as f:
        f.write(data)
    os.replace(path(name + ".part"), path(name))

def read_head(connection):
    head = b""
    while b"\r\n\r\n" not in head and len(head) < 16384:
        chunk = connection.recv(1024)
        if not chunk:
            break
        head += chunk
    return head

def serve(listener, reply, name):
    head = b""
    try:
        connection, _ = listener.accept()
        with connection:
            connection.settimeout(GUARD)
            head = read_head(connection)
            if reply == "ok":
                connection.sendall(OK)
            elif reply == "garbage":
                connection.sendall(b"SSH-2.0-Server\r\n")
            if reply != "never":
                connection.shutdown(socket.SHUT_WR)
            while connection.recv(256):
                pass
    except OSError:
        pass
    listener.close()
    publish(name + ".head", head)

def start_server(name):
    with open(path(name + ".want")) as f:
        reply = f.read().strip()
    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.bind(("127.0.0.1", 0))
    listener.listen(4)
    listener.settimeout(GUARD)
    threading.Thread(target=serve, args=(listener, reply, name), daemon=True).start()
    publish(name + ".port", str(listener.getsockname()[1]).encode())

started = set()
last_wanted = time.time()
publish("running", b"")
while not os.path.exists(path("stop")) and time.time() - last_wanted < GUARD:
    for entry in os.listdir(folder):
        if entry.endswith(".want") and entry not in started:
            started.add(entry)
            last_wanted = time.time()
            start_server(entry[:-len(".want")])
    time.sleep(0.02)
shutil.rmtree(folder, ignore_errors=True)
)PY";

std::string FirstLine(const std::string& head) { return head.substr(0, head.find("\r\n")); }

// The head the own client sends for the address.
std::string OwnRequestHead(const std::string& address) { return net::BuildGetRequest(net::ParseUrl(address).url); }

// Waits for a file the server process publishes; false after the guard time.
bool WaitForFile(const std::string& path) {
  return test_files::WaitFor([&] { return test_files::Exists(path); }, kGuardMs, 20);
}

// Written whole under another name, then renamed: the server process never
// reads half a file.
void PublishFile(const std::string& path, const std::string& text) {
  test_files::WriteWholeFile(path + ".part", text);
  ::MoveFileExA((path + ".part").c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

// The python3 process, started when a test first needs it.
class ServerProcess {
 public:
  ServerProcess() {
    static int serial = 0;
    const std::string name = "orvanta-net-" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(++serial);
    const std::string unixFolder = "/tmp/" + name;
    folder_ = "Z:\\tmp\\" + name + "\\";
    ::CreateDirectoryA(folder_.c_str(), nullptr);
    test_files::WriteWholeFile(folder_ + "server.py", kServerScript);
    std::string command = std::string(kPython) + " " + unixFolder + "/server.py " + unixFolder;
    // Its own standard handles: it may outlive this program a little and
    // must not hold the test runner's output open.
    SECURITY_ATTRIBUTES inheritable{sizeof(inheritable), nullptr, TRUE};
    tl::ScopedFileHandle nul(::CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                           &inheritable, OPEN_EXISTING, 0, nullptr));
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = startup.hStdOutput = startup.hStdError = nul.Get();
    PROCESS_INFORMATION process{};
    if (!::CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process))
      return;
    // A Unix program gives no process handle; the files tell its state.
    tl::ScopedHandle processHandle(process.hProcess);
    tl::ScopedHandle threadHandle(process.hThread);
    running_ = WaitForFile(folder_ + "running");
  }
  // Tells the process to end; it removes its folder.
  ~ServerProcess() {
    if (running_) PublishFile(folder_ + "stop", "");
  }
  ServerProcess(const ServerProcess&) = delete;
  ServerProcess& operator=(const ServerProcess&) = delete;

  bool running() const { return running_; }
  const std::string& folder() const { return folder_; }

 private:
  std::string folder_;
  bool running_ = false;
};

// Owns the server process from its first use to the end of the test run.
class ServerProcessEnvironment : public ::testing::Environment {
 public:
  static ServerProcess& Process() {
    if (!process_) process_ = std::make_unique<ServerProcess>();
    return *process_;
  }
  void TearDown() override { process_.reset(); }

 private:
  static inline std::unique_ptr<ServerProcess> process_;
};
::testing::Environment* const kServerProcessEnvironment =
    ::testing::AddGlobalTestEnvironment(new ServerProcessEnvironment);

// One server of the process: takes one connection and answers as asked.
class LoopbackServer {
 public:
  enum class Reply { kOk, kNever, kGarbage };

  // Asks for the server; ready() tells whether it listens.
  explicit LoopbackServer(Reply reply) {
    static int serial = 0;
    ServerProcess& process = ServerProcessEnvironment::Process();
    if (!process.running()) return;
    files_ = process.folder() + std::to_string(++serial);
    PublishFile(files_ + ".want", ReplyName(reply));
    if (WaitForFile(files_ + ".port")) port_ = std::atoi(test_files::ReadWholeFile(files_ + ".port").c_str());
  }

  bool ready() const { return port_ != 0; }
  std::string Address() const { return "http://127.0.0.1:" + std::to_string(port_) + kTarget; }
  // Waits until the client has closed the connection; the head of its request.
  std::string Finish() const {
    return WaitForFile(files_ + ".head") ? test_files::ReadWholeFile(files_ + ".head") : "<no end>";
  }

 private:
  static const char* ReplyName(Reply reply) {
    switch (reply) {
      case Reply::kOk: return "ok";
      case Reply::kNever: return "never";
      case Reply::kGarbage: return "garbage";
    }
    return "ok";
  }

  std::string files_;
  int port_ = 0;
};

struct SystemClientRequest {
  std::string address;
  tl::Status status;
};

DWORD WINAPI RunSystemClientRequest(void* parameter) {
  auto* request = static_cast<SystemClientRequest*>(parameter);
  request->status = net::RequestThroughSystemClient(request->address);
  return 0;
}

// The system client's result for the address, requested on a thread of its
// own as the runtime does. Under the emulated Wine, WinInet used by the main
// thread after a worker thread has used it brings the process down.
tl::Status RequestThroughSystemClientOnThread(const std::string& address) {
  SystemClientRequest request{address, {}};
  tl::ScopedHandle thread(::CreateThread(nullptr, 0, &RunSystemClientRequest, &request, 0, nullptr));
  if (!thread) return tl::SysError{::GetLastError()};
  if (::WaitForSingleObject(thread.Get(), kGuardMs) != WAIT_OBJECT_0) {
    // Still running: it must not outlive the request it reads.
    ::TerminateThread(thread.Get(), 1);
    return tl::SysError{WAIT_TIMEOUT};
  }
  return request.status;
}

// A port on 127.0.0.1 that refuses every connection: bound, so that it
// stays ours, but not listening.
class RefusingPort {
 public:
  RefusingPort() : session_(net::WinsockSession::Start()) {
    if (!session_) return;
    const net::WinsockApi& api = session_.value().api();
    socket_.Reset(api.socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = 0x0100007F;  // 127.0.0.1 in network order
    int length = sizeof(address);
    if (socket_ && api.bind(socket_.Get(), reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0 &&
        api.getSockName(socket_.Get(), reinterpret_cast<sockaddr*>(&address), &length) == 0)
      port_ = api.ntohs(address.sin_port);
  }
  int port() const { return port_; }

 private:
  tl::Result<net::WinsockSession> session_;
  net::ScopedSocket socket_;  // closed before the session ends
  int port_ = 0;
};

// WinInet's proxy for this user, replaced for one scope.
class ScopedSystemProxy {
 public:
  explicit ScopedSystemProxy(const std::string& server) {
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key_, nullptr) !=
        ERROR_SUCCESS)
      return;
    savedEnable_ = Save("ProxyEnable");
    savedServer_ = Save("ProxyServer");
    const DWORD enable = 1;
    ::RegSetValueExA(key_, "ProxyEnable", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&enable), sizeof(enable));
    ::RegSetValueExA(key_, "ProxyServer", 0, REG_SZ, reinterpret_cast<const BYTE*>(server.c_str()),
                     static_cast<DWORD>(server.size() + 1));
  }
  ~ScopedSystemProxy() {
    if (!key_) return;
    Restore("ProxyEnable", savedEnable_);
    Restore("ProxyServer", savedServer_);
    ::RegCloseKey(key_);
  }

 private:
  static constexpr char kKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
  struct SavedValue {
    bool present = false;
    DWORD type = 0;
    std::string data;
  };
  SavedValue Save(const char* name) {
    SavedValue saved;
    char data[1024];
    DWORD size = sizeof(data);
    if (::RegQueryValueExA(key_, name, nullptr, &saved.type, reinterpret_cast<BYTE*>(data), &size) == ERROR_SUCCESS) {
      saved.present = true;
      saved.data.assign(data, size);
    }
    return saved;
  }
  void Restore(const char* name, const SavedValue& saved) {
    if (!saved.present) {
      ::RegDeleteValueA(key_, name);
      return;
    }
    ::RegSetValueExA(key_, name, 0, saved.type, reinterpret_cast<const BYTE*>(saved.data.data()),
                     static_cast<DWORD>(saved.data.size()));
  }

  HKEY key_ = nullptr;
  SavedValue savedEnable_;
  SavedValue savedServer_;
};

TEST(OwnHttpClient, SendsTheRequestAndReadsTheStatusByAddressAndByName) {
  for (const char* host : {"127.0.0.1", "localhost"}) {
    LoopbackServer server(LoopbackServer::Reply::kOk);
    ASSERT_TRUE(server.ready()) << "no loopback server (it runs in " << kPython << ")";
    std::string address = server.Address();
    address.replace(address.find("127.0.0.1"), 9, host);
    tl::Result<net::StatusLine> status = net::HttpGet(address);
    const std::string head = server.Finish();
    ASSERT_TRUE(status.ok()) << host << ": error " << status.error();
    EXPECT_EQ(status.value().code, 200) << host;
    EXPECT_EQ(FirstLine(head), kRequestLine) << host;
    EXPECT_EQ(head, OwnRequestHead(address)) << host;
  }
}

TEST(OwnHttpClient, FailsOnAnAnswerThatIsNoHttp) {
  LoopbackServer server(LoopbackServer::Reply::kGarbage);
  ASSERT_TRUE(server.ready());
  tl::Result<net::StatusLine> status = net::HttpGet(server.Address());
  server.Finish();
  ASSERT_FALSE(status.ok());
  EXPECT_EQ(status.error(), static_cast<uint32_t>(ERROR_INVALID_DATA));
}

TEST(OwnHttpClient, GivesUpOnAServerThatNeverAnswers) {
  LoopbackServer server(LoopbackServer::Reply::kNever);
  ASSERT_TRUE(server.ready());
  net::HttpLimits limits;
  limits.waitMs = kShortWaitMs;
  tl::Result<net::StatusLine> status = net::HttpGet(server.Address(), limits);
  // The server ends only when the client has closed the connection.
  EXPECT_EQ(FirstLine(server.Finish()), kRequestLine);
  ASSERT_FALSE(status.ok());
  EXPECT_EQ(status.error(), static_cast<uint32_t>(WSAETIMEDOUT));
}

TEST(OwnHttpClient, RefusesAddressesItCannotRequest) {
  struct Case {
    const char* address;
    DWORD error;
  } cases[] = {
      {"https://127.0.0.1/x", ERROR_NOT_SUPPORTED},
      {"ftp://127.0.0.1/x", ERROR_INVALID_PARAMETER},
      {"http://127.0.0.1/a b", ERROR_INVALID_PARAMETER},
      {"http://127.0.0.1:99999/", ERROR_INVALID_PARAMETER},
  };
  for (const Case& c : cases) {
    tl::Result<net::StatusLine> status = net::HttpGet(c.address);
    ASSERT_FALSE(status.ok()) << c.address;
    EXPECT_EQ(status.error(), c.error) << c.address;
  }
}

// Wine's WinInet takes a silent server's empty answer for a successful one
// and keeps the connection for reuse, so the system client is not asked to
// fail on a silent server here; its waits are set all the same.
TEST(SystemHttpClient, SendsTheRequestLine) {
  LoopbackServer server(LoopbackServer::Reply::kOk);
  ASSERT_TRUE(server.ready());
  tl::Status status = RequestThroughSystemClientOnThread(server.Address());
  const std::string head = server.Finish();
  EXPECT_TRUE(status.ok()) << "error " << status.error();
  EXPECT_EQ(FirstLine(head), kRequestLine);
}

TEST(NotificationClients, FailWhenTheHostRefusesTheConnection) {
  RefusingPort refusing;
  ASSERT_NE(refusing.port(), 0);
  const std::string address = "http://127.0.0.1:" + std::to_string(refusing.port()) + kTarget;
  tl::Result<net::StatusLine> own = net::HttpGet(address);
  ASSERT_FALSE(own.ok());
  EXPECT_EQ(own.error(), static_cast<uint32_t>(WSAECONNREFUSED));
  EXPECT_FALSE(RequestThroughSystemClientOnThread(address).ok());
}

TEST(RequestNotificationAddress, RequestsTheAddressWithTheEncodedVersion) {
  LoopbackServer server(LoopbackServer::Reply::kOk);
  ASSERT_TRUE(server.ready());
  std::string address = server.Address();
  address.replace(address.find("1.2%20beta"), 10, "%VerSion%");
  setup::RequestNotificationAddress(address, "1.2 beta");
  EXPECT_EQ(FirstLine(server.Finish()), kRequestLine);
}

TEST(RequestNotificationAddress, FallsBackToTheOwnClientWhenTheSystemClientFails) {
  // The system client goes through a proxy that refuses it; the own client
  // knows no proxy and reaches the server.
  RefusingPort refusingProxy;
  ASSERT_NE(refusingProxy.port(), 0);
  ScopedSystemProxy proxy("127.0.0.1:" + std::to_string(refusingProxy.port()));
  LoopbackServer server(LoopbackServer::Reply::kOk);
  ASSERT_TRUE(server.ready());
  // The scheme in capitals: the fallback is chosen whatever its letter case.
  std::string address = server.Address();
  address.replace(0, 4, "HTTP");
  tl::ScopedHandle worker = setup::StartNotificationRequest(address, kShortWaitMs);
  ASSERT_TRUE(worker.IsValid());
  ASSERT_EQ(::WaitForSingleObject(worker.Get(), kGuardMs), WAIT_OBJECT_0);
  EXPECT_EQ(server.Finish(), OwnRequestHead(address));
}

}  // namespace
