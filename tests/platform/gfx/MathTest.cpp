// D3DX maths against matrices computed by hand: row vectors, left-handed, A * B applies A
// first, positive angles turn +x toward +y (clockwise on a y-down screen).
#include <vireo/platform/D3DX9.h>

#include <gtest/gtest.h>

#include <cmath>

namespace {

void ExpectNear(const D3DXMATRIX& got, const D3DXMATRIX& want, float tolerance = 1e-5f)
{
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_NEAR(got.m[r][c], want.m[r][c], tolerance) << "_" << r + 1 << c + 1;
}

D3DXVECTOR3 Apply(const D3DXMATRIX& m, float x, float y, float z = 0)
{
    D3DXVECTOR3 v(x, y, z), out;
    D3DXVec3TransformCoord(&out, &v, &m);
    return out;
}

} // namespace

TEST(D3DXMath, Transformation2DRotatesAndScalesAboutItsCentres)
{
    D3DXMATRIX m;
    const D3DXVECTOR2 centre(5, 5), move(1, 2);
    D3DXMatrixTransformation2D(&m, nullptr, 0, nullptr, &centre, D3DX_PI / 2, &move);
    // T(-c) * R(90) * T(c) * T(move): row 4 = (-5,-5)R + (5,5) + (1,2) = (11, 2).
    ExpectNear(m, D3DXMATRIX(0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 11, 2, 0, 1));
    const D3DXVECTOR3 p = Apply(m, 6, 5); // one right of the centre turns to one below it
    EXPECT_NEAR(p.x, 6, 1e-5);
    EXPECT_NEAR(p.y, 8, 1e-5);

    const D3DXVECTOR2 scalingCentre(2, 3), scaling(2, 4);
    D3DXMatrixTransformation2D(&m, &scalingCentre, 0, &scaling, nullptr, 0, nullptr);
    ExpectNear(m, D3DXMATRIX(2, 0, 0, 0, 0, 4, 0, 0, 0, 0, 1, 0, -2, -9, 0, 1));

    // Without scaling the scaling centre plays no part; without rotation the rotation centre.
    D3DXMatrixTransformation2D(&m, &scalingCentre, 1.0f, nullptr, &centre, 0, nullptr);
    EXPECT_TRUE(D3DXMatrixIsIdentity(&m));
}

TEST(D3DXMath, ViewAndProjectionMatchHandComputedMatrices)
{
    D3DXMATRIX view;
    const D3DXVECTOR3 eye(3, 0, 0), at(0, 0, 0), up(0, 1, 0);
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    ExpectNear(view, D3DXMATRIX(0, 0, -1, 0, 0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 3, 1));
    const D3DXVECTOR3 origin = Apply(view, 0, 0, 0);
    EXPECT_NEAR(origin.z, 3, 1e-5) << "the target is in front, at the eye's distance";

    D3DXMATRIX projection;
    D3DXMatrixPerspectiveFovLH(&projection, D3DX_PI / 2, 2.0f, 1.0f, 3.0f);
    ExpectNear(projection, D3DXMATRIX(0.5f, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1.5f, 1, 0, 0, -1.5f, 0));
    EXPECT_NEAR(Apply(projection, 0, 0, 1).z, 0, 1e-6) << "near plane";
    EXPECT_NEAR(Apply(projection, 0, 0, 3).z, 1, 1e-6) << "far plane";

    D3DXMATRIX ortho;
    D3DXMatrixOrthoOffCenterLH(&ortho, 0, 100, 50, 0, 0, 1);
    const D3DXVECTOR3 corner = Apply(ortho, 100, 50);
    EXPECT_NEAR(corner.x, 1, 1e-6);
    EXPECT_NEAR(corner.y, -1, 1e-6);
}

TEST(D3DXMath, RotationsComposeInRowVectorOrder)
{
    D3DXMATRIX t, r, m;
    D3DXMatrixTranslation(&t, 1, 0, 0);
    D3DXMatrixRotationZ(&r, D3DX_PI / 2);
    D3DXMatrixMultiply(&m, &t, &r); // translate first, then rotate
    D3DXVECTOR3 p = Apply(m, 0, 0);
    EXPECT_NEAR(p.x, 0, 1e-6);
    EXPECT_NEAR(p.y, 1, 1e-6);
    p = Apply(r * t, 0, 0);
    EXPECT_NEAR(p.x, 1, 1e-6);
    EXPECT_NEAR(p.y, 0, 1e-6);

    const float yaw = 0.3f, pitch = -0.7f, roll = 1.1f;
    D3DXMATRIX ypr, x, y, z;
    D3DXMatrixRotationYawPitchRoll(&ypr, yaw, pitch, roll);
    D3DXMatrixRotationX(&x, pitch);
    D3DXMatrixRotationY(&y, yaw);
    D3DXMatrixRotationZ(&z, roll);
    ExpectNear(ypr, z * x * y);
    EXPECT_NEAR(ypr._32, -std::sin(pitch), 1e-6);
    EXPECT_NEAR(ypr._12, std::sin(roll) * std::cos(pitch), 1e-6);

    D3DXMATRIX axis;
    const D3DXVECTOR3 xAxis(2, 0, 0);
    D3DXMatrixRotationAxis(&axis, &xAxis, pitch);
    ExpectNear(axis, x);
    const D3DXVECTOR3 yAxis(0, 1, 0);
    D3DXMatrixRotationAxis(&axis, &yAxis, yaw);
    ExpectNear(axis, y);
}

TEST(D3DXMath, InverseUndoesAndSingularFails)
{
    D3DXMATRIX a, b, m, inverse, product;
    D3DXMatrixRotationYawPitchRoll(&a, 0.4f, 0.2f, -0.9f);
    D3DXMatrixTranslation(&b, 3, -4, 5);
    m = a * b;
    m._11 *= 2.5f;
    float det = 0;
    ASSERT_NE(D3DXMatrixInverse(&inverse, &det, &m), nullptr);
    EXPECT_NEAR(det, D3DXMatrixDeterminant(&m), 1e-5);
    D3DXMatrixMultiply(&product, &m, &inverse);
    D3DXMATRIX identity;
    ExpectNear(product, *D3DXMatrixIdentity(&identity), 1e-5f);

    D3DXMATRIX flat;
    D3DXMatrixScaling(&flat, 1, 0, 1);
    EXPECT_EQ(D3DXMatrixInverse(&inverse, nullptr, &flat), nullptr);
}

TEST(D3DXMath, VectorsAndColours)
{
    const D3DXVECTOR3 zero(0, 0, 0), v(3, 0, 4);
    D3DXVECTOR3 n;
    D3DXVec3Normalize(&n, &v);
    EXPECT_NEAR(n.x, 0.6f, 1e-6);
    EXPECT_NEAR(n.z, 0.8f, 1e-6);
    D3DXVec3Normalize(&n, &zero);
    EXPECT_TRUE(n == zero) << "a zero vector stays zero";
    const D3DXVECTOR3 x(1, 0, 0), y(0, 1, 0);
    D3DXVec3Cross(&n, &x, &y);
    EXPECT_TRUE(n == D3DXVECTOR3(0, 0, 1));

    for (D3DCOLOR c : {0xFF804020u, 0x00000000u, 0x7F01FEFFu}) {
        const D3DXCOLOR colour(c);
        EXPECT_EQ(static_cast<D3DCOLOR>(colour), c);
    }
    EXPECT_EQ(static_cast<D3DCOLOR>(D3DXCOLOR(0, 0, 0, 1)), 0xFF000000u);
    EXPECT_EQ(static_cast<D3DCOLOR>(D3DXCOLOR(2, -1, 0.5f, 1)), 0xFFFF0080u) << "clamped";
}
