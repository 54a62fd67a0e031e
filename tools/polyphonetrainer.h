#pragma once
#include "reading/mandarinreader.h"
#include "reading/polyphonemodel.h"

#include <string>
#include <vector>

namespace velanote {

// A sentence with one character whose reading is known ("zhang3"), as the CPP data set gives them.
struct LabelledSentence {
    std::u32string text;
    std::size_t index = 0;
    std::string reading;
};

// Reads a .sent file (the labelled character between two U+2581 marks) and its .lb file of
// readings; empty when either cannot be read or they do not match.
std::vector<LabelledSentence> readLabelledSentences(const std::string& sentPath,
                                                    const std::string& labelPath);

// Trains the context model: for each character, a multinomial logistic regression over the
// features the reader gives it, learnt by stochastic gradient descent with L2 regularisation.
class PolyphoneTrainer {
public:
    struct Options {
        int epochs = 30;
        float rate = 0.2f;
        float l2 = 3e-2f;
    };
    struct Example {
        char32_t character = 0;
        PolyphoneModel::Observation observation;
        std::string reading;
    };

    // The examples of `sentences` as `reader` (without a model) sees them, one per sentence; one
    // whose character the reader does not read has no character (0) and is not trained on.
    static std::vector<Example> examples(const MandarinReader& reader,
                                         const std::vector<LabelledSentence>& sentences);

    // The model's bytes, for PolyphoneModel.
    static std::string train(const std::vector<const Example*>& examples, const Options& options);
};

} // namespace velanote
