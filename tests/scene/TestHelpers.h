#pragma once

#include "scene/Math.h"

#include <gtest/gtest.h>

#define EXPECT_VEC_NEAR(a, b, eps)                                                                   \
    do {                                                                                             \
        const scene::Vec3 va_ = (a), vb_ = (b);                                                      \
        EXPECT_NEAR(va_.x, vb_.x, eps) << "x";                                                       \
        EXPECT_NEAR(va_.y, vb_.y, eps) << "y";                                                       \
        EXPECT_NEAR(va_.z, vb_.z, eps) << "z";                                                       \
    } while (0)

#define EXPECT_BOX_NEAR(a, b, eps)                                                                   \
    do {                                                                                             \
        const scene::Box ba_ = (a), bb_ = (b);                                                       \
        EXPECT_VEC_NEAR(ba_.min, bb_.min, eps);                                                      \
        EXPECT_VEC_NEAR(ba_.max, bb_.max, eps);                                                      \
    } while (0)
