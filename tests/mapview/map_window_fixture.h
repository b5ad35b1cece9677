#pragma once
// A map window test on one square municipality of 東京都 (139..140 E, 35..36 N) in Pref mode;
// the window does not run its load sequence by itself.
#include "app/frm_main.h"
#include "map_fixture.h"

class TokyoSquareWindow : public MapFixture {
protected:
    void SetUp() override
    {
        MapFixture::SetUp();
        miratos::app::frmMain::setAutoLoad(false);
        Pref p;
        p.lines = {{QStringLiteral("13c1"), QStringLiteral("35 139 35 140 36 140 36 139 35 139")}};
        p.prefLines = {QStringLiteral("13c1")};
        p.polygons = {{QStringLiteral("13a1"), QStringLiteral("13c1")}};
        p.points = {{QStringLiteral("13p1"), QStringLiteral("35.5 139.5")}};
        p.tiku = {{QStringLiteral("13a1"), QStringLiteral("東京都@千代田区"), QStringLiteral("13101")}};
        writePref(13, QStringLiteral("東京都"), p);
        miratos::state::mdlMain().MapMode = QStringLiteral("Pref");
    }
    void TearDown() override
    {
        miratos::app::frmMain::setAutoLoad(true);
        MapFixture::TearDown();
    }
};
