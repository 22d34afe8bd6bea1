// The records tests run as a Qt program does, with its application object.
// Without one, the first object made on the main thread (a store's SQL
// driver) makes Qt's data for that thread itself, and nothing frees it.
#include <QCoreApplication>
#include <gtest/gtest.h>
#include <memory>

namespace {

class CoreApplication final : public ::testing::Environment {
public:
    void SetUp() override
    {
        static int argc = 1;
        static char name[] = "records_tests";
        static char* argv[] = {name, nullptr};
        if (!QCoreApplication::instance())
            m_app = std::make_unique<QCoreApplication>(argc, argv);
    }
    void TearDown() override { m_app.reset(); }

private:
    std::unique_ptr<QCoreApplication> m_app;
};

[[maybe_unused]] ::testing::Environment* const kApplication = ::testing::AddGlobalTestEnvironment(new CoreApplication);

} // namespace
