#pragma once

#include "core/modafs.h"
#include "core/startup.h"
#include "platform/form.h"
#include "platform/msgbox.h"
#include "platform/program.h"
#include "platform/sim/sim_backend.h"

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

    std::string openBoxTitle() const
    {
        const auto* box = sim.openBox();
        return box ? box->title : std::string{};
    }

    platform::SimBackend sim;
    platform::Program program{sim};
};
