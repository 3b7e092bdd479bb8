// Cost of one camera message: building the envelope, and whole round trips through libcurl to the
// camera simulator on loopback (one transfer handle per message, as the client always does).
#include "camera/ClCurlLibrary.h"
#include "camera/ZkSetting.h"
#include "camera/raptor_service.h"

#include "tools/camsim/CamSim.h"

#include <QtTest>

class BenchCamera : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(ClCurlLibrary::load());
        clSim.setFrameRate(0);
        QVERIFY(clSim.start());
        pclClient = std::make_unique<raptor_service>(clSim.address());
        QCOMPARE(pclClient->start_session().rval, 0);
    }

    void envelope()
    {
        const std::string strKey = ZkSetting::WHITE_BALANCE.toStdString();
        QBENCHMARK
        {
            const std::string strJson = raptor_service::envelope(123456, 2, strKey, "daylight");
            QVERIFY(!strJson.empty());
        }
    }

    void setSettingRoundTrip()
    {
        const std::string strKey = ZkSetting::WDR.toStdString();
        const std::string strValue = ZkValue::ON.toStdString();
        QBENCHMARK
        {
            QCOMPARE(pclClient->set_setting(strKey, strValue).rval, 0);
        }
    }

    void allSettingsRoundTrip()
    {
        QBENCHMARK
        {
            QCOMPARE(pclClient->get_all_current_settings().rval, 0);
        }
    }

    void cleanupTestCase()
    {
        pclClient.reset();
        clSim.stop();
    }

private:
    camsim::CamSim clSim;
    std::unique_ptr<raptor_service> pclClient;
};

QTEST_GUILESS_MAIN(BenchCamera)
#include "bench_camera.moc"
