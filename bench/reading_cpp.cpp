// Reads the CPP development split (data/cpp: sentences with one polyphonic character labelled)
// through the reading front end and prints how many labelled characters it reads right. The
// context model is measured by cross-validation: each fold is read by a model trained on the
// other folds, the same training tools/make_polyphone_model gives the built-in model on all of
// them. Also prints the lexicon alone, and the 20 characters read worst. With --shuffles N it
// also prints the mean over N more random assignments of the sentences to folds, which shows
// differences of a tenth of a point that one split hides.
//   bench_reading_cpp [DATA-DIR] [--folds N] [--shuffles N] [--epochs N] [--rate X] [--l2 X] [--errors]
#include "tools/polyphonetrainer.h"

#include "reading/readingtable.h"
#include "reading/utf8.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <string>

#ifndef VELANOTE_SOURCE_DIR
#define VELANOTE_SOURCE_DIR "."
#endif

namespace {

using velanote::LabelledSentence;
using velanote::MandarinReader;

struct Tally {
    int right = 0, all = 0;
    double percent() const { return all == 0 ? 0 : 100.0 * right / all; }
};

} // namespace

int main(int argc, char** argv) {
    std::string dir = VELANOTE_SOURCE_DIR "/data/cpp";
    int folds = 5;
    int shuffles = 0;
    bool showErrors = false;
    velanote::PolyphoneTrainer::Options options;
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--folds") == 0 && hasValue) {
            folds = std::max(2, std::atoi(argv[++i]));
        } else if (std::strcmp(argv[i], "--shuffles") == 0 && hasValue) {
            shuffles = std::max(0, std::atoi(argv[++i]));
        } else if (std::strcmp(argv[i], "--epochs") == 0 && hasValue) {
            options.epochs = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--rate") == 0 && hasValue) {
            options.rate = std::strtof(argv[++i], nullptr);
        } else if (std::strcmp(argv[i], "--errors") == 0) {
            showErrors = true;
        } else if (std::strcmp(argv[i], "--l2") == 0 && hasValue) {
            options.l2 = std::strtof(argv[++i], nullptr);
        } else {
            dir = argv[i];
        }
    }
    const auto sentences = velanote::readLabelledSentences(dir + "/dev.sent", dir + "/dev.lb");
    if (sentences.empty()) {
        std::fprintf(stderr, "bench_reading_cpp: no labelled sentences in %s\n", dir.c_str());
        return 1;
    }
    const auto& table = velanote::ReadingTable::builtIn();
    const MandarinReader lexiconOnly(table, {}, nullptr);
    const auto readsRight = [](const MandarinReader& reader, const LabelledSentence& s) {
        return reader.syllables(s.text)[s.index] == s.reading;
    };

    const auto examples = velanote::PolyphoneTrainer::examples(lexiconOnly, sentences);
    // Reads each fold with a model trained on the others; `foldOf` assigns the sentences.
    const auto crossValidate = [&](const auto& foldOf, const auto& tell) {
        for (int fold = 0; fold < folds; ++fold) {
            std::vector<const velanote::PolyphoneTrainer::Example*> training;
            for (std::size_t i = 0; i < sentences.size(); ++i) {
                if (foldOf(i) != fold) {
                    training.push_back(&examples[i]);
                }
            }
            const std::string bytes = velanote::PolyphoneTrainer::train(training, options);
            const velanote::PolyphoneModel trained(bytes);
            const MandarinReader reader(table, {}, &trained);
            for (std::size_t i = 0; i < sentences.size(); ++i) {
                if (foldOf(i) == fold) {
                    tell(sentences[i], reader.syllables(sentences[i].text)[sentences[i].index]);
                }
            }
        }
    };
    Tally lexicon, model;
    std::map<char32_t, Tally> perCharacter;
    // Sentence i belongs to fold i % folds, which spreads each character's sentences evenly.
    crossValidate([folds](std::size_t i) { return static_cast<int>(i % static_cast<std::size_t>(folds)); },
                  [&](const LabelledSentence& s, const std::string& got) {
                      const bool right = got == s.reading;
                      if (!right && showErrors) {
                          std::printf("%s\t%s\t%s\t%s\t%s\n",
                                      velanote::utf8::encode(std::u32string(1, s.text[s.index])).c_str(),
                                      s.reading.c_str(), got.c_str(),
                                      lexiconOnly.syllables(s.text)[s.index].c_str(),
                                      velanote::utf8::encode(s.text).c_str());
                      }
                      model.right += right;
                      ++model.all;
                      lexicon.right += readsRight(lexiconOnly, s);
                      ++lexicon.all;
                      Tally& t = perCharacter[s.text[s.index]];
                      t.right += right;
                      ++t.all;
                  });
    Tally shuffled = model;
    for (int round = 1; round <= shuffles; ++round) {
        std::vector<int> assigned(sentences.size());
        for (std::size_t i = 0; i < assigned.size(); ++i) {
            assigned[i] = static_cast<int>(i % static_cast<std::size_t>(folds));
        }
        std::mt19937 random(static_cast<unsigned>(round));
        std::shuffle(assigned.begin(), assigned.end(), random);
        crossValidate([&assigned](std::size_t i) { return assigned[i]; },
                      [&shuffled](const LabelledSentence& s, const std::string& got) {
                          shuffled.right += got == s.reading;
                          ++shuffled.all;
                      });
    }
    std::printf("sentences: %d, characters: %zu, %d-fold cross-validation\n", model.all, perCharacter.size(),
                folds);
    std::printf("lexicon alone: %.2f%%\n", lexicon.percent());
    std::printf("cpp-dev: %.2f%%\n", model.percent());
    if (shuffles > 0) {
        std::printf("cpp-dev, mean of this and %d shuffled splits: %.3f%%\n", shuffles, shuffled.percent());
    }
    std::vector<std::pair<char32_t, Tally>> worst(perCharacter.begin(), perCharacter.end());
    std::stable_sort(worst.begin(), worst.end(), [](const auto& a, const auto& b) {
        return a.second.percent() < b.second.percent() ||
               (a.second.percent() == b.second.percent() && a.second.all > b.second.all);
    });
    worst.resize(std::min<std::size_t>(worst.size(), 20));
    std::printf("worst characters:\n");
    for (const auto& [c, t] : worst) {
        std::printf("  %s %6.1f%% (%d of %d)\n", velanote::utf8::encode(std::u32string(1, c)).c_str(),
                    t.percent(), t.right, t.all);
    }
    return 0;
}
