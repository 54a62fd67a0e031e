// Puts a `velanote serve` process under the loads a shared speech service meets and prints what it
// saw, one figure per line:
//   bench_speech_load VELANOTE slow [TRICKLING IDLE SECONDS FROM [SERVE OPTIONS...]]
//     connections from 127.0.0.1 that trickle one byte every 5 s and ones that send nothing, while
//     a client on FROM (127.0.0.2) asks for a stored clip four times a second;
//   bench_speech_load VELANOTE fair [LONG CHARACTERS]
//     one client's LONG requests for texts of CHARACTERS (1000), then another client's short one;
//   bench_speech_load VELANOTE memory [CLIENTS REQUESTS CHARACTERS CACHE_MB]
//     CLIENTS clients each asking REQUESTS new texts, and the process's resident memory.
#include "service/speechquery.h"

#include <curl/curl.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

double seconds(Clock::duration span) {
    return std::chrono::duration<double>(span).count();
}

double percentile(std::vector<double> values, double share) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(share * static_cast<double>(values.size() - 1))];
}

unsigned freePort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    const bool named = fd >= 0 && bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                       getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0;
    if (fd >= 0) {
        close(fd);
    }
    return named ? ntohs(address.sin_port) : 0;
}

int connectFrom(unsigned port, const char* from) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in source{};
    source.sin_family = AF_INET;
    inet_pton(AF_INET, from, &source.sin_addr);
    sockaddr_in target{};
    target.sin_family = AF_INET;
    target.sin_port = htons(static_cast<std::uint16_t>(port));
    target.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(fd, reinterpret_cast<sockaddr*>(&source), sizeof source) != 0 ||
        connect(fd, reinterpret_cast<sockaddr*>(&target), sizeof target) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

// The service under test, as its own process.
class Serve {
public:
    Serve(const std::string& program, std::vector<std::string> extra) : port_(freePort()) {
        std::vector<std::string> words = {program, "serve", "--port", std::to_string(port_)};
        words.insert(words.end(), extra.begin(), extra.end());
        std::vector<char*> argv;
        argv.reserve(words.size() + 1);
        for (std::string& word : words) {
            argv.push_back(word.data());
        }
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        if (posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) {
            std::fprintf(stderr, "cannot start %s\n", program.c_str());
            std::exit(1);
        }
        posix_spawn_file_actions_destroy(&actions);
        for (int i = 0; i < 400; ++i) {
            const int fd = connectFrom(port_, "127.0.0.1");
            if (fd >= 0) {
                close(fd);
                return;
            }
            std::this_thread::sleep_for(25ms);
        }
        std::fprintf(stderr, "the service did not come up\n");
        std::exit(1);
    }
    ~Serve() {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
    unsigned port() const { return port_; }

    // A line of /proc/PID/status as a number ("Threads", "VmRSS" in KiB).
    long status(const std::string& field) const {
        std::ifstream file("/proc/" + std::to_string(pid_) + "/status");
        std::string line;
        while (std::getline(file, line)) {
            if (line.starts_with(field + ":")) {
                return std::stol(line.substr(field.size() + 1));
            }
        }
        return -1;
    }

private:
    unsigned port_;
    pid_t pid_ = -1;
};

std::size_t appendBody(char* data, std::size_t size, std::size_t count, void* target) {
    static_cast<std::string*>(target)->append(data, size * count);
    return size * count;
}

// One keep-alive HTTP client from a chosen loopback address; status 0 when nothing came back.
class Client {
public:
    Client(unsigned port, const std::string& from, long timeoutSeconds = 120)
        : base_("http://127.0.0.1:" + std::to_string(port)), curl_(curl_easy_init()) {
        curl_easy_setopt(curl_, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(curl_, CURLOPT_TIMEOUT, timeoutSeconds);
        curl_easy_setopt(curl_, CURLOPT_WRITEFUNCTION, appendBody);
        curl_easy_setopt(curl_, CURLOPT_INTERFACE, ("host!" + from).c_str());
    }
    ~Client() { curl_easy_cleanup(curl_); }

    long get(const std::string& path, std::string& body) {
        body.clear();
        curl_easy_setopt(curl_, CURLOPT_URL, (base_ + path).c_str());
        curl_easy_setopt(curl_, CURLOPT_WRITEDATA, &body);
        long status = 0;
        if (curl_easy_perform(curl_) != CURLE_OK) {
            return 0;
        }
        curl_easy_getinfo(curl_, CURLINFO_RESPONSE_CODE, &status);
        return status;
    }

    // The speech request and its clip; the clip's path, or empty on any fault.
    std::string speak(const std::string& text) {
        std::string body;
        if (get("/text2speech.php?&text=" + velanote::SpeechQuery::encodeComponent(text), body) != 200 ||
            !body.starts_with("outurl=.")) {
            return {};
        }
        const std::string path = body.substr(8, body.find('&') - 8);
        std::string clip;
        return get(path, clip) == 200 && !clip.empty() ? path : std::string();
    }

private:
    std::string base_;
    CURL* curl_;
};

// A text of exactly `characters` characters that begins with the number, so that no two are alike.
std::string text(int number, int characters) {
    static const std::u32string pool = U"春风送暖万家灯火平安喜乐岁岁年年花好月圆天长地久心想事成福寿安康";
    const std::string prefix = std::to_string(number);
    characters -= static_cast<int>(prefix.size());
    std::u32string out;
    unsigned state = static_cast<unsigned>(number) * 2654435761U + 1;
    for (int i = 0; i < characters; ++i) {
        state = state * 1103515245U + 12345U;
        out.push_back(i % 12 == 11 ? U'，' : pool[(state >> 16) % pool.size()]);
    }
    std::string utf8;
    for (const char32_t c : out) {
        if (c < 0x800) {
            utf8 += static_cast<char>(c);
        } else {
            utf8 += static_cast<char>(0xE0 | (c >> 12));
            utf8 += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            utf8 += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return prefix + utf8;
}

int slowClients(const std::string& program, int trickling, int idle, int duration, const std::string& from,
                std::vector<std::string> options) {
    Serve serve(program, std::move(options));
    Client client(serve.port(), from, 10);
    const std::string clip = client.speak("慢客户端");
    if (clip.empty()) {
        std::fprintf(stderr, "the clip was not made\n");
        return 1;
    }
    const long threadsIdle = serve.status("Threads");
    std::vector<int> tricklers;
    std::vector<int> sleepers;
    tricklers.reserve(std::size_t(trickling));
    sleepers.reserve(std::size_t(idle));
    for (int i = 0; i < trickling; ++i) {
        tricklers.push_back(connectFrom(serve.port(), "127.0.0.1"));
    }
    for (int i = 0; i < idle; ++i) {
        sleepers.push_back(connectFrom(serve.port(), "127.0.0.1"));
    }
    const std::string request = "GET / HTTP/1.1\r\nHost: x\r\nX-Slow: " + std::string(200, 'x') + "\r\n\r\n";
    std::atomic<bool> done{false};
    std::thread trickler([&] {
        // One byte every 5 s on each connection; a closed one is opened again at once.
        for (std::size_t sent = 0; !done; ++sent) {
            for (int& fd : tricklers) {
                if (fd < 0 || send(fd, request.data() + sent % request.size(), 1, MSG_NOSIGNAL) != 1) {
                    if (fd >= 0) {
                        close(fd);
                    }
                    fd = connectFrom(serve.port(), "127.0.0.1");
                }
            }
            for (int i = 0; i < 50 && !done; ++i) {
                std::this_thread::sleep_for(100ms);
            }
        }
    });
    std::vector<double> ms;
    int asked = 0;
    long threadsMost = 0;
    std::string body;
    const auto end = Clock::now() + std::chrono::seconds(duration);
    while (Clock::now() < end) {
        const auto before = Clock::now();
        ++asked;
        if (client.get(clip, body) == 200 && !body.empty()) {
            ms.push_back(seconds(Clock::now() - before) * 1000);
        }
        threadsMost = std::max(threadsMost, serve.status("Threads"));
        std::this_thread::sleep_until(before + 250ms);
    }
    done = true;
    trickler.join();
    int open = 0;
    for (const int fd : sleepers) {
        char byte;
        open += fd >= 0 && recv(fd, &byte, 1, MSG_DONTWAIT) < 0 && errno == EAGAIN;
    }
    std::printf("trickling-connections: %d\nidle-connections: %d\nclient-address: %s\n", trickling, idle,
                from.c_str());
    std::printf("served: %zu of %d\n", ms.size(), asked);
    std::printf("served-ratio: %.3f\n", asked > 0 ? static_cast<double>(ms.size()) / asked : 0.0);
    std::printf("cached-median: %.1f ms\ncached-p95: %.1f ms\n", percentile(ms, 0.5), percentile(ms, 0.95));
    std::printf("threads-idle: %ld\nthreads-most: %ld\n", threadsIdle, threadsMost);
    std::printf("idle-connections-still-open: %d\n", open);
    for (const int fd : tricklers) {
        close(fd);
    }
    for (const int fd : sleepers) {
        close(fd);
    }
    return 0;
}

int fairness(const std::string& program, int longOnes, int characters) {
    Serve serve(program, {});
    // One long text alone, then a short one alone, for the yardstick.
    Client alone(serve.port(), "127.0.0.4");
    auto before = Clock::now();
    const bool madeLong = !alone.speak(text(1000000, characters)).empty();
    const double longSeconds = seconds(Clock::now() - before);
    before = Clock::now();
    const bool madeShort = !alone.speak("早安").empty();
    const double shortSeconds = seconds(Clock::now() - before);
    if (!madeLong || !madeShort) {
        std::fprintf(stderr, "the service did not speak the yardstick texts\n");
        return 1;
    }

    std::vector<std::thread> flood;
    flood.reserve(std::size_t(longOnes));
    std::atomic<int> floodServed{0};
    for (int i = 0; i < longOnes; ++i) {
        flood.emplace_back([&, i] {
            floodServed += !Client(serve.port(), "127.0.0.2", 600).speak(text(i, characters)).empty();
        });
    }
    std::this_thread::sleep_for(500ms);
    before = Clock::now();
    const bool served = !Client(serve.port(), "127.0.0.3", 600).speak("晚安").empty();
    const double waited = seconds(Clock::now() - before);
    for (std::thread& thread : flood) {
        thread.join();
    }
    std::printf("long-texts-queued: %d of %d characters (served %d)\n", longOnes, characters,
                floodServed.load());
    std::printf("one-long-text: %.2f s\none-short-text: %.3f s\n", longSeconds, shortSeconds);
    std::printf("short-text-waited: %.2f s%s\n", waited, served ? "" : " (failed)");
    std::printf("wait-over-one-long-plus-short: %.2f\n", waited / (longSeconds + shortSeconds));
    return 0;
}

int memory(const std::string& program, int clients, int requests, int characters, int cacheMb) {
    Serve serve(program, {"--cache-mb", std::to_string(cacheMb)});
    std::this_thread::sleep_for(1s);
    const long idleKb = serve.status("VmRSS");
    std::atomic<int> good{0};
    std::atomic<long> mostKb{idleKb};
    std::vector<std::thread> threads;
    threads.reserve(std::size_t(clients));
    for (int c = 0; c < clients; ++c) {
        threads.emplace_back([&, c] {
            const std::string from =
                "127.0." + std::to_string(1 + c / 250) + "." + std::to_string(1 + c % 250);
            Client client(serve.port(), from, 1200);
            for (int r = 0; r < requests; ++r) {
                good += !client.speak(text(c * requests + r, characters)).empty();
                long seen = serve.status("VmRSS");
                long most = mostKb.load();
                while (seen > most && !mostKb.compare_exchange_weak(most, seen)) {
                }
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    const long endKb = serve.status("VmRSS");
    std::printf("clients: %d\nrequests-each: %d\ncharacters: %d\ncache-cap: %d MiB\n", clients, requests,
                characters, cacheMb);
    std::printf("answered-right: %d of %d\n", good.load(), clients * requests);
    const auto mib = [](long kb) { return static_cast<double>(kb) / 1024.0; };
    std::printf("rss-idle: %.1f MiB\nrss-most: %.1f MiB\nrss-end: %.1f MiB\n", mib(idleKb),
                mib(mostKb.load()), mib(endKb));
    std::printf("growth-over-cap: %.1f MiB\n", mib(mostKb.load() - idleKb) - cacheMb);
    return 0;
}

int number(int argc, char** argv, int index, int fallback) {
    return argc > index ? std::atoi(argv[index]) : fallback;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s VELANOTE slow|fair|memory [numbers...]\n", argv[0]);
        return 2;
    }
    signal(SIGPIPE, SIG_IGN);
    curl_global_init(CURL_GLOBAL_DEFAULT);
    const std::string program = argv[1];
    const std::string load = argv[2];
    int code = 2;
    if (load == "slow") {
        code = slowClients(program, number(argc, argv, 3, 500), number(argc, argv, 4, 300),
                           number(argc, argv, 5, 60), argc > 6 ? argv[6] : "127.0.0.2",
                           std::vector<std::string>(argv + std::min(argc, 7), argv + argc));
    } else if (load == "fair") {
        code = fairness(program, number(argc, argv, 3, 32), number(argc, argv, 4, 1000));
    } else if (load == "memory") {
        code = memory(program, number(argc, argv, 3, 64), number(argc, argv, 4, 20),
                      number(argc, argv, 5, 300), number(argc, argv, 6, 64));
    }
    curl_global_cleanup();
    return code;
}
