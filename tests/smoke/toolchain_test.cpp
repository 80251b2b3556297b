// End-to-end checks of the toolchain under Wine: each cross-built library is
// linked and called through its real API, and the platform behaves as the
// program expects (code page, hidden child process with a pipe, painting).
#include <gtest/gtest.h>
#include <json/json.h>
#include <openssl/evp.h>
#include <windows.h>

extern "C" {
#include <libavformat/avformat.h>
}

#include <cstdio>
#include <memory>
#include <string>

TEST(Toolchain, AnsiCodePageIsChinese) { EXPECT_EQ(GetACP(), 936u); }

TEST(Toolchain, Md5ThroughLibcrypto) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int size = 0;
  ASSERT_EQ(EVP_Digest("abc", 3, digest, &size, EVP_md5(), nullptr), 1);
  ASSERT_EQ(size, 16u);
  char hex[33];
  for (int i = 0; i < 16; ++i) std::snprintf(hex + 2 * i, 3, "%02x", digest[i]);
  EXPECT_STREQ(hex, "900150983cd24fb0d6963f7d28e17f72");
}

TEST(Toolchain, JsonThroughJsoncpp) {
  Json::CharReaderBuilder builder;
  std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  const std::string text = R"({"code":200,"data":"\u4f60\u597d"})";
  Json::Value root;
  std::string errors;
  ASSERT_TRUE(reader->parse(text.data(), text.data() + text.size(), &root, &errors)) << errors;
  EXPECT_EQ(root["code"].asInt(), 200);
  EXPECT_EQ(root["data"].asString(), "\xe4\xbd\xa0\xe5\xa5\xbd");
}

// Runs a command hidden with its output captured through an inherited pipe.
static bool RunCaptured(const std::wstring& commandLine, std::string& output, DWORD& exitCode) {
  SECURITY_ATTRIBUTES sa{sizeof(sa), nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &sa, 0)) return false;
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  si.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
  si.wShowWindow = SW_HIDE;
  si.hStdOutput = writeEnd;
  si.hStdError = writeEnd;
  PROCESS_INFORMATION pi{};
  std::wstring line = commandLine;
  BOOL started = CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
  CloseHandle(writeEnd);
  if (!started) {
    CloseHandle(readEnd);
    return false;
  }
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(readEnd, buffer, sizeof(buffer), &got, nullptr) && got > 0) output.append(buffer, got);
  WaitForSingleObject(pi.hProcess, INFINITE);
  GetExitCodeProcess(pi.hProcess, &exitCode);
  CloseHandle(readEnd);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return true;
}

static std::wstring TempPath(const wchar_t* name) {
  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  return std::wstring(folder) + name;
}

TEST(Toolchain, FfmpegRunsHiddenAndLibavformatReadsTheDuration) {
  const std::wstring wav = TempPath(L"smoke_tone.wav");
  const std::wstring mp3 = TempPath(L"smoke_tone.mp3");
  std::string output;
  DWORD exitCode = 1;
  ASSERT_TRUE(RunCaptured(L"ffmpeg.exe -y -f lavfi -i sine=frequency=440:duration=2.5 \"" + wav + L"\"", output,
                          exitCode));
  EXPECT_EQ(exitCode, 0u) << output;
  EXPECT_NE(output.find("pcm_s16le"), std::string::npos) << output;
  output.clear();
  ASSERT_TRUE(RunCaptured(L"ffmpeg.exe -y -i \"" + wav + L"\" -codec:a libmp3lame \"" + mp3 + L"\"", output, exitCode));
  EXPECT_EQ(exitCode, 0u) << output;

  char narrow[MAX_PATH * 2];
  WideCharToMultiByte(CP_ACP, 0, wav.c_str(), -1, narrow, sizeof(narrow), nullptr, nullptr);
  AVFormatContext* context = nullptr;
  ASSERT_GE(avformat_open_input(&context, narrow, nullptr, nullptr), 0);
  ASSERT_GE(avformat_find_stream_info(context, nullptr), 0);
  EXPECT_NEAR(static_cast<double>(context->duration) / AV_TIME_BASE, 2.5, 0.01);
  avformat_close_input(&context);
  DeleteFileW(wav.c_str());
  DeleteFileW(mp3.c_str());
}

static LRESULT CALLBACK PaintRed(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    HBRUSH brush = CreateSolidBrush(RGB(255, 0, 0));
    FillRect(dc, &ps.rcPaint, brush);
    DeleteObject(brush);
    EndPaint(window, &ps);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

TEST(Toolchain, WindowPaintsOnTheDisplay) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = PaintRed;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"SmokePaint";
  ASSERT_NE(RegisterClassW(&wc), 0);
  HWND window = CreateWindowExW(0, L"SmokePaint", L"烟雾测试", WS_POPUP | WS_VISIBLE, 50, 50, 200, 100, nullptr,
                                nullptr, wc.hInstance, nullptr);
  ASSERT_NE(window, nullptr);
  UpdateWindow(window);
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  HDC dc = GetDC(window);
  COLORREF pixel = GetPixel(dc, 20, 20);
  ReleaseDC(window, dc);
  DestroyWindow(window);
  EXPECT_EQ(pixel, RGB(255, 0, 0));
}
