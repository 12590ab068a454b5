#include <gtest/gtest.h>

#include "posix/capture/NulFramedReader.h"

namespace wisp {
namespace {

// The pipe's reads cut the stream anywhere: in a message, just before or after its NUL, or
// with several messages in one read.
TEST(NulFramedReader, GivesWholeMessagesWhereverTheReadsCutTheStream) {
    const std::string stream = std::string("{\"id\":1}") + '\0' + "{}" + '\0' + '\0' +
                               "{\"a\":\"long text\"}" + '\0' + "{\"unfinished";
    const std::vector<std::string> messages = {"{\"id\":1}", "{}", "", "{\"a\":\"long text\"}"};
    for (std::size_t size = 1; size <= stream.size(); ++size) {
        NulFramedReader reader;
        std::vector<std::string> got;
        for (std::size_t start = 0; start < stream.size(); start += size) {
            reader.Append(std::string_view(stream).substr(start, size));
            while (std::optional<std::string> message = reader.Next()) {
                got.push_back(*message);
            }
        }
        EXPECT_EQ(got, messages) << "reads of " << size << " bytes";
        reader.Append(std::string("\"}") + '\0');
        EXPECT_EQ(reader.Next(), "{\"unfinished\"}") << size;
    }
}

}  // namespace
}  // namespace wisp
