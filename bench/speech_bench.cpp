// Measures the speech service: what HTTP adds to synthesis, how fast a stored clip is served,
// how much speech one second of CPU produces and what share of a request the reading front end
// and the half-band decimator take. Prints one figure per line.
#include "reading/mandarinreader.h"
#include "reading/textnormalizer.h"
#include "reading/utf8.h"
#include "service/speechquery.h"
#include "service/speechservice.h"
#include "synthesis/espeakengine.h"
#include "synthesis/halfbanddecimator.h"
#include "synthesis/speechsynthesizer.h"

#include <curl/curl.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// CPU time of this process and of the finished processes it started: each text is synthesised in a
// child process of the speech engine.
double cpuSeconds() {
    rusage self{};
    rusage children{};
    getrusage(RUSAGE_SELF, &self);
    getrusage(RUSAGE_CHILDREN, &children);
    const auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    return seconds(self.ru_utime) + seconds(self.ru_stime) + seconds(children.ru_utime) +
           seconds(children.ru_stime);
}

// Resident memory of this process in MiB, from /proc.
double residentMiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.starts_with("VmRSS:")) {
            return std::stod(line.substr(6)) / 1024;
        }
    }
    return 0;
}

std::size_t appendBody(char* data, std::size_t size, std::size_t count, void* target) {
    static_cast<std::string*>(target)->append(data, size * count);
    return size * count;
}

// One keep-alive connection, as a desktop client would hold it.
class Client {
public:
    explicit Client(std::string base) : base_(std::move(base)), curl_(curl_easy_init()) {
        curl_easy_setopt(curl_, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(curl_, CURLOPT_TIMEOUT, 60L);
        curl_easy_setopt(curl_, CURLOPT_WRITEFUNCTION, appendBody);
    }
    ~Client() { curl_easy_cleanup(curl_); }

    std::string get(const std::string& path) {
        std::string body;
        curl_easy_setopt(curl_, CURLOPT_URL, (base_ + path).c_str());
        curl_easy_setopt(curl_, CURLOPT_WRITEDATA, &body);
        long status = 0;
        if (curl_easy_perform(curl_) != CURLE_OK ||
            curl_easy_getinfo(curl_, CURLINFO_RESPONSE_CODE, &status) != CURLE_OK || status != 200) {
            std::fprintf(stderr, "request failed: %s (status %ld)\n", path.c_str(), status);
            std::exit(1);
        }
        return body;
    }

    // The speech request and the download of its MP3; returns the MP3's size.
    std::size_t speakAndFetch(const std::string& text) {
        const std::string reply =
            get("/text2speech.php?&text=" + velanote::SpeechQuery::encodeComponent(text));
        const std::string field = reply.substr(0, reply.find('&'));
        const std::string prefix = "outurl=.";
        if (!field.starts_with(prefix)) {
            std::fprintf(stderr, "unexpected reply: %s\n", reply.c_str());
            std::exit(1);
        }
        return get(field.substr(prefix.size())).size();
    }

private:
    std::string base_;
    CURL* curl_;
};

} // namespace

int main() {
    curl_global_init(CURL_GLOBAL_DEFAULT);
    velanote::SpeechService service;
    if (!service.start()) {
        std::fprintf(stderr, "the service did not start\n");
        return 1;
    }
    if (!velanote::EspeakEngine::instance().warmUp().get()) {
        std::fprintf(stderr, "espeak-ng is not usable\n");
        return 1;
    }
    Client client("http://127.0.0.1:" + std::to_string(service.port()));

    // A 100-character sentence; each cold request changes its last character so the store never answers.
    const std::u32string base =
        U"亲爱的妈妈，您好！今天是您的生日，我在远方祝您生日快乐，身体健康，万事如意，天天开心。"
        U"谢谢您多年来的养育之恩，我会好好学习，努力工作，常回家看看您和爸爸。愿您笑口常开，幸福美满，"
        U"永远年轻美丽，岁岁平安";
    const std::u32string endings = U"乐好福康安喜顺美善和泰宁祥瑞德春夏秋冬梅兰竹菊松柏山水云月星光花草树林江"
                                   U"河湖海天地风雨雪霜晨晚红黄蓝白金银玉心爱笑歌舞诗书画琴";
    std::vector<std::u32string> sentences;
    for (const char32_t ending : endings) {
        std::u32string sentence = base.substr(0, 99);
        sentence.push_back(ending);
        sentences.push_back(sentence);
    }
    std::printf("sentence-length: %zu characters\n", sentences.front().size());

    // The reading front end on first use: the table is compiled in and read in place, so this
    // is what the first request pays and all the memory the lexicon takes.
    const double memoryBefore = residentMiB();
    const auto firstUse = Clock::now();
    const std::string firstReading = velanote::MandarinReader::builtIn()->read(sentences.front());
    const double firstUseMs = std::chrono::duration<double, std::milli>(Clock::now() - firstUse).count();
    std::size_t readBytes = firstReading.size();
    for (const std::u32string& sentence : sentences) {
        readBytes += velanote::MandarinReader::builtIn()->read(sentence).size();
    }
    const double readingMemory = residentMiB() - memoryBefore;

    // One uncounted round of each path, so that first-time costs stay out of the figures.
    velanote::SpeechSynthesizer::render(U"预热");
    client.speakAndFetch("预热一下");

    std::vector<double> inProcessMs;
    std::vector<double> httpMs;
    double speechSeconds = 0;
    double renderCpu = 0;
    for (std::size_t i = 0; i < sentences.size(); ++i) {
        const std::string utf8 = velanote::utf8::encode(sentences[i]);
        const auto measureInProcess = [&] {
            const double cpuBefore = cpuSeconds();
            const auto before = Clock::now();
            const velanote::SpeechClip clip = velanote::SpeechSynthesizer::render(sentences[i]);
            inProcessMs.push_back(std::chrono::duration<double, std::milli>(Clock::now() - before).count());
            renderCpu += cpuSeconds() - cpuBefore;
            speechSeconds += clip.durationMs / 1000.0;
        };
        const auto measureHttp = [&] {
            const auto before = Clock::now();
            client.speakAndFetch(utf8);
            httpMs.push_back(std::chrono::duration<double, std::milli>(Clock::now() - before).count());
        };
        // Alternating the order keeps drifts of the machine's load out of the ratio.
        if (i % 2 == 0) {
            measureInProcess();
            measureHttp();
        } else {
            measureHttp();
            measureInProcess();
        }
    }

    const std::string repeated = velanote::utf8::encode(sentences.front());
    std::vector<double> cachedMs;
    for (int i = 0; i < 41; ++i) {
        const auto before = Clock::now();
        client.speakAndFetch(repeated);
        cachedMs.push_back(std::chrono::duration<double, std::milli>(Clock::now() - before).count());
    }

    // The front end alone, many rounds per sentence so that the clock's grain does not matter.
    std::vector<double> readingMs;
    constexpr int rounds = 50;
    for (const std::u32string& sentence : sentences) {
        const auto before = Clock::now();
        for (int round = 0; round < rounds; ++round) {
            readBytes += velanote::MandarinReader::builtIn()->read(sentence).size();
        }
        readingMs.push_back(std::chrono::duration<double, std::milli>(Clock::now() - before).count() /
                            rounds);
    }

    // The normaliser alone, over the same sentences and over a greeting full of numbers.
    const auto normalizeMs = [](const std::u32string& text) {
        constexpr int normalizeRounds = 200;
        std::size_t said = 0;
        const auto before = Clock::now();
        for (int round = 0; round < normalizeRounds; ++round) {
            said += velanote::TextNormalizer::normalize(text).size();
        }
        const double ms = std::chrono::duration<double, std::milli>(Clock::now() - before).count();
        return said > 0 ? ms / normalizeRounds : 0.0;
    };
    std::vector<double> normalizingMs;
    normalizingMs.reserve(sentences.size());
    for (const std::u32string& sentence : sentences) {
        normalizingMs.push_back(normalizeMs(sentence));
    }
    const std::u32string numbers =
        U"2027年1月1日下午3:30，我们2个人在3号楼见！电话13812345678，红包¥200.50，"
        U"气温-5℃，跑了3.5km，打了9折，比分3:1，第1名，增长了6.3%，1/2的人，3~5天。";

    // The decimator alone, over the samples the synthesiser makes for the first sentence, fed in
    // the pieces it hands them over in.
    std::vector<std::vector<std::int16_t>> pieces;
    {
        const auto stream = velanote::EspeakEngine::instance().speak(sentences.front());
        std::vector<std::int16_t> piece;
        while (stream->next(piece)) {
            pieces.push_back(piece);
        }
    }
    std::vector<double> decimatorMs;
    std::size_t halvedSamples = 0;
    std::vector<std::int16_t> halved;
    for (int round = 0; round < 41; ++round) {
        halvedSamples = 0;
        const auto before = Clock::now();
        velanote::HalfBandDecimator decimator;
        for (const auto& piece : pieces) {
            halved.clear(); // as the service does: each piece's output goes on to the encoder
            decimator.push(piece, halved);
            halvedSamples += halved.size();
        }
        halved.clear();
        decimator.finish(halved);
        halvedSamples += halved.size();
        decimatorMs.push_back(std::chrono::duration<double, std::milli>(Clock::now() - before).count());
    }

    const double inProcess = median(inProcessMs);
    const double reading = median(readingMs);
    const double http = median(httpMs);
    std::printf("in-process-median: %.2f ms\n", inProcess);
    std::printf("http-cold-median: %.2f ms\n", http);
    std::printf("syntheses: %llu\n", static_cast<unsigned long long>(service.synthesisCount()));
    std::printf("speech-overhead: %.3f\n", http / inProcess);
    std::printf("speech-cached: %.3f ms\n", median(cachedMs));
    std::printf("speech-speed: %.1f\n", speechSeconds / renderCpu);
    std::printf("reading: %.2f us per character\n",
                reading * 1000 / static_cast<double>(sentences.front().size()));
    std::printf("reading-share: %.4f\n", reading / inProcess);
    const double normalizing = median(normalizingMs);
    std::printf("normalize: %.3f us per character\n",
                normalizing * 1000 / static_cast<double>(sentences.front().size()));
    std::printf("normalize-share: %.5f\n", normalizing / inProcess);
    std::printf("normalize-numbers: %.3f us per character (%zu characters full of numbers)\n",
                normalizeMs(numbers) * 1000 / static_cast<double>(numbers.size()), numbers.size());
    std::printf("reading-first-use: %.2f ms\n", firstUseMs);
    std::printf("reading-memory: %.1f MiB (%zu bytes read)\n", readingMemory, readBytes);
    std::printf("decimator: %s, %.3f ms for %zu output samples\n",
                velanote::HalfBandDecimator::availableForms().front().name, median(decimatorMs),
                halvedSamples);
    // Of the processor time a request takes (the synthesiser's thread and the halving and encoding
    // beside it), as a profile would count it.
    const double cpuPerRequestMs = renderCpu * 1000 / static_cast<double>(inProcessMs.size());
    std::printf("request-cpu: %.2f ms\n", cpuPerRequestMs);
    std::printf("decimator-share: %.4f\n", median(decimatorMs) / cpuPerRequestMs);
    service.stop();
    curl_global_cleanup();
    return 0;
}
