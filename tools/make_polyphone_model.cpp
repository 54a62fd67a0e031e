// Trains the reading front end's context model on labelled sentences (the CPP development split
// in data/cpp) and writes it where the build embeds it:
//   make_polyphone_model data/cpp/dev.sent data/cpp/dev.lb data/reading/polyphone-model.bin
// bench/reading_cpp.cpp measures the same training by cross-validation.
#include "polyphonetrainer.h"

#include "reading/readingtable.h"

#include <fstream>
#include <iostream>

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: make_polyphone_model SENTENCES LABELS OUT.bin\n";
        return 2;
    }
    const auto sentences = velanote::readLabelledSentences(argv[1], argv[2]);
    if (sentences.empty()) {
        std::cerr << "make_polyphone_model: cannot read labelled sentences from " << argv[1] << " and "
                  << argv[2] << "\n";
        return 1;
    }
    const velanote::MandarinReader reader(velanote::ReadingTable::builtIn(), {}, nullptr);
    const auto examples = velanote::PolyphoneTrainer::examples(reader, sentences);
    std::vector<const velanote::PolyphoneTrainer::Example*> all;
    all.reserve(examples.size());
    for (const auto& e : examples) {
        all.push_back(&e);
    }
    const std::string model = velanote::PolyphoneTrainer::train(all, {});
    std::ofstream out(argv[3], std::ios::binary | std::ios::trunc);
    out.write(model.data(), static_cast<std::streamsize>(model.size()));
    if (!out) {
        std::cerr << "make_polyphone_model: cannot write " << argv[3] << "\n";
        return 1;
    }
    std::cout << "polyphone model: " << sentences.size() << " sentences, " << model.size() << " bytes\n";
    return 0;
}
