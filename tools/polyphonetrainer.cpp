#include "polyphonetrainer.h"

#include "reading/utf8.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <map>
#include <random>
#include <unordered_map>

namespace velanote {

namespace {

constexpr char32_t kMark = U'\u2581';

// CPP spells ü as "u:"; the reading table as "v".
std::string tableSpelling(std::string_view reading) {
    std::string out;
    for (std::size_t i = 0; i < reading.size(); ++i) {
        if (reading.substr(i, 2) == "u:") {
            out.push_back('v');
            ++i;
        } else {
            out.push_back(reading[i]);
        }
    }
    return out;
}

} // namespace

std::vector<LabelledSentence> readLabelledSentences(const std::string& sentPath,
                                                    const std::string& labelPath) {
    std::ifstream sentences(sentPath);
    std::ifstream labels(labelPath);
    std::vector<LabelledSentence> out;
    std::string line, label;
    while (std::getline(sentences, line)) {
        if (!std::getline(labels, label)) {
            return {};
        }
        const auto text = utf8::decode(line);
        if (!text) {
            return {};
        }
        const std::size_t open = text->find(kMark);
        if (open == std::u32string::npos || open + 2 >= text->size() || (*text)[open + 2] != kMark) {
            return {};
        }
        LabelledSentence s;
        s.text = text->substr(0, open) + (*text)[open + 1] + text->substr(open + 3);
        s.index = open;
        s.reading = tableSpelling(label);
        out.push_back(std::move(s));
    }
    return out;
}

std::vector<PolyphoneTrainer::Example>
PolyphoneTrainer::examples(const MandarinReader& reader, const std::vector<LabelledSentence>& sentences) {
    std::vector<Example> out;
    out.reserve(sentences.size());
    for (const LabelledSentence& s : sentences) {
        auto observation = reader.observe(s.text, s.index);
        out.push_back(observation ? Example{s.text[s.index], std::move(*observation), s.reading} : Example{});
    }
    return out;
}

std::string PolyphoneTrainer::train(const std::vector<const Example*>& examples, const Options& options) {
    // Per character as the lexicon looks it up (its bias feature, first of all): its readings,
    // those labelled and those the lexicon gave.
    struct Character {
        std::vector<std::string> readings;
    };
    std::map<std::uint64_t, Character> characters;
    struct Item {
        const Example* example;
        Character* character;
        std::size_t truth, lexicon;
    };
    std::vector<Item> items;
    for (const Example* e : examples) {
        // A variant the lexicon looks up as another character (閤 as 合) would lend that one its readings.
        if (e->character == 0 ||
            e->observation.features.front() != PolyphoneModel::featureKey(e->character, 0, {})) {
            continue;
        }
        Character& c = characters[e->observation.features.front()];
        const auto indexOf = [&c](const std::string& r) {
            const auto it = std::find(c.readings.begin(), c.readings.end(), r);
            if (it != c.readings.end()) {
                return static_cast<std::size_t>(it - c.readings.begin());
            }
            c.readings.push_back(r);
            return c.readings.size() - 1;
        };
        const std::size_t truth = indexOf(e->reading);
        items.push_back({e, &c, truth, indexOf(e->observation.lexiconReading)});
    }
    // The features of each character, and those all characters share: how far the lexicon's
    // reading is to be trusted where the character stands alone, in a word, in a settled word.
    struct Weights {
        const Character* character = nullptr;
        std::vector<float> values;
    };
    std::unordered_map<std::uint64_t, Weights> weights;
    float shared[PolyphoneModel::kSharedKinds] = {};
    std::mt19937 random(20200901);
    std::vector<float> scores;
    for (int epoch = 0; epoch < options.epochs; ++epoch) {
        std::shuffle(items.begin(), items.end(), random);
        const float rate = options.rate / (1.0f + static_cast<float>(epoch) * 0.1f);
        for (const Item& item : items) {
            const std::size_t n = item.character->readings.size();
            const auto& features = item.example->observation.features;
            const unsigned kind = PolyphoneModel::sharedKind(item.example->observation);
            scores.assign(n, 0.0f);
            scores[item.lexicon] += shared[kind];
            for (const std::uint64_t f : features) {
                Weights& w = weights[f];
                w.character = item.character;
                w.values.resize(n, 0.0f);
                for (std::size_t k = 0; k < n; ++k) {
                    scores[k] += w.values[k];
                }
            }
            const float top = *std::max_element(scores.begin(), scores.end());
            float sum = 0;
            for (float& s : scores) {
                s = std::exp(s - top);
                sum += s;
            }
            for (float& s : scores) {
                s /= sum;
            }
            shared[kind] -= rate * 0.1f * (scores[item.lexicon] - (item.lexicon == item.truth ? 1.0f : 0.0f));
            for (std::size_t f = 0; f < features.size(); ++f) {
                std::vector<float>& w = weights[features[f]].values;
                const float l2 = options.l2 * (f == 0                     ? options.biasL2
                                               : f + 1 == features.size() ? options.lexiconL2
                                                                          : 1.0f);
                for (std::size_t k = 0; k < n; ++k) {
                    const float gradient = scores[k] - (k == item.truth ? 1.0f : 0.0f);
                    w[k] -= rate * (gradient + l2 * w[k]);
                }
            }
        }
    }
    // Every reading keeps its bias, so the model knows which readings the character has.
    std::vector<PolyphoneModel::Entry> entries;
    for (const auto& [feature, w] : weights) {
        const bool isBias = characters.count(feature) != 0;
        for (std::size_t k = 0; k < w.values.size(); ++k) {
            if (isBias || std::abs(w.values[k]) >= 1.0f / 512) {
                entries.push_back({feature, w.character->readings[k], w.values[k]});
            }
        }
    }
    for (unsigned kind = 0; kind < PolyphoneModel::kSharedKinds; ++kind) {
        entries.push_back({PolyphoneModel::sharedKey(kind), "=", shared[kind]});
    }
    return PolyphoneModel::compile(std::move(entries));
}

} // namespace velanote
