#pragma once

#include "core/modafs.h"
#include "platform/form.h"
#include "platform/msgbox.h"
#include "platform/program.h"
#include "platform/sim/sim_backend.h"
#include "program/startup.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

// A run of the program on the headless backend, driven by the test.
class SimTest : public ::testing::Test {
protected:
    ~SimTest() override { sim.stop(); }

    void start(std::function<void()> startup) { sim.start(program, std::move(startup)); }
    void startProgram() { start(orvanta::StartProgram); }

    // A window that the program has loaded.
    template <class W>
    W& form()
    {
        W* window = program.find<W>();
        if (!window || !window->isLoaded())
            throw std::logic_error("the window is not loaded");
        return *window;
    }
    template <class W>
    bool loaded() const
    {
        const W* window = program.find<W>();
        return window && window->isLoaded();
    }

    orvanta::modAFS& afs() { return program.single<orvanta::modAFS>(); }

    // Starts a game as the entry screen does, with the name and seconds already stored,
    // but without the screens around it. Returns when the game runs (inside the ball
    // window's modal show).
    void startGame(const std::string& name = "Ann", int seconds = 600);
    // Puts the ball over the hoop's opening, falling, and lets it drop through.
    void dropThroughTheHoop();

    std::string openBoxTitle() const
    {
        const auto* box = sim.openBox();
        return box ? box->title : std::string{};
    }

    platform::SimBackend sim;
    platform::Program program{sim};
};

#include "ball/clock.h"
#include "core/windows.h"
#include "hoop/frmsplash.h"

inline void SimTest::startGame(const std::string& name, int seconds)
{
    afs().PlayerName = name;
    afs().SecondsLeft = static_cast<std::int16_t>(seconds);
    start([] { orvanta::window<orvanta::clock>(); });
}

inline void SimTest::dropThroughTheHoop()
{
    sim.invoke([&] {
        orvanta::clock& ball = form<orvanta::clock>();
        const orvanta::frmSplash& hoop = form<orvanta::frmSplash>();
        ball.Left = hoop.Left + 1100;
        ball.Top = hoop.Top + 600;
        afs().BallSpeedX = 0;
        afs().BallSpeedY = 40;
    });
    sim.advance(300);
}
