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
// features the reader gives it, learnt by stochastic gradient descent with L2 regularisation
// (lighter on the character's bias, heavier on the lexicon's reading, whose weight the shared
// trust in the lexicon already carries much of).
class PolyphoneTrainer {
public:
    struct Options {
        int epochs = 30;
        float rate = 0.2f;
        float l2 = 3e-2f;
        float biasL2 = 0.3f;    // times l2, for the bias
        float lexiconL2 = 3.0f; // times l2, for the lexicon's reading
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
