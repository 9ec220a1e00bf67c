# Each line: lumetta_test(<Unit> <libraries>), or lumetta_gui_test for tests
# that need the widgets; grouped by the folder of the unit.
lumetta_test(DateTime lumetta_common)
lumetta_test(Subs lumetta_common)
lumetta_test(AtomicFile lumetta_common)

lumetta_test(Registry lumetta_platform)
lumetta_test(Platform lumetta_platform)

lumetta_test(CamRecord lumetta_catalogue)
lumetta_test(CatalogueFile lumetta_catalogue)
lumetta_test(Catalogue lumetta_catalogue)
lumetta_test(CamEditor lumetta_catalogue)
lumetta_test(SaveSchedule lumetta_catalogue)
lumetta_test(CatalogueSaver lumetta_catalogue)

lumetta_test(HttpResponseParser lumetta_net)
lumetta_test(HttpCli lumetta_net lumetta_platform)
lumetta_test(DigestAuth lumetta_net)
lumetta_test(MultipartStream lumetta_net)
lumetta_test(CaFile lumetta_net)

lumetta_test(DebugLog lumetta_download)
lumetta_test(ImageFetch lumetta_download)
lumetta_test(WebcamHealth lumetta_download)

lumetta_test(DCImageInfo lumetta_image_probe)
lumetta_test(ImageLayout lumetta_display)
lumetta_test(MeasureImage lumetta_display)
lumetta_test(ImageWindowRules lumetta_display)
lumetta_gui_test(TfrmImage lumetta_slideshow_widgets)

lumetta_test(Picture lumetta_imaging)
lumetta_test(DecodeChannel lumetta_imaging)
# The program's worker and one with decoders that misbehave.
add_executable(lumetta_test_decoder support/TestDecoderMain.cpp)
target_link_libraries(lumetta_test_decoder PRIVATE lumetta_imaging)
lumetta_test(DecodeWorker lumetta_imaging LABEL process)
target_compile_definitions(DecodeWorker_test PRIVATE
  LUMETTA_DECODER="$<TARGET_FILE:lumetta-decoder>" TEST_DECODER="$<TARGET_FILE:lumetta_test_decoder>")
add_dependencies(DecodeWorker_test lumetta-decoder lumetta_test_decoder)

lumetta_test(RunMode lumetta_app_core lumetta_service)
lumetta_test(SettingsTable lumetta_app_core)
lumetta_test(StartupFiles lumetta_app_core)
lumetta_test(CatalogueQuestions lumetta_app_core)
lumetta_gui_test(TfrmMain lumetta_widgets Qt6::Test)
lumetta_gui_test(CatalogueEditing lumetta_widgets)
lumetta_gui_test(LumettaProcess lumetta_platform LABEL process)

lumetta_test(CamSchedule lumetta_download)
lumetta_test(Sequencer lumetta_slideshow)
lumetta_test(SlideShow lumetta_slideshow)

lumetta_test(WebcamList lumetta_lists)
lumetta_test(Submission lumetta_lists)
lumetta_gui_test(ListTools lumetta_widgets lumetta_test_support)
lumetta_test(XScreenSaverPrefs lumetta_screensaver)
lumetta_test(ScreenSaverInstall lumetta_screensaver)
lumetta_test(VersionCheck lumetta_service)
lumetta_test(KorvaneAboutBox lumetta_service lumetta_platform)

lumetta_e2e_test(ShowRun lumetta_catalogue lumetta_download lumetta_platform lumetta_imaging)

lumetta_test(IdleWatcher lumetta_idle)
lumetta_test(DesktopIdle lumetta_idle_desktop lumetta_test_bus ${LUMETTA_XCB_CORE_LIBRARY})
